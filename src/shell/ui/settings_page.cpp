#include "shell/ui/settings_page.h"

#include "common/service_lock.h"
#include "shell/service_context.h"
#include "shell/tariff_list.h"
#include "shell/ui/tariff_combo_box.h"
#include "shell/ui/tool_button.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using S = ServerSettings;

namespace {

QFormLayout *formOf(QGroupBox *group)
{
    auto *form = new QFormLayout(group);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return form;
}

QLabel *captionLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    label->setFixedWidth(340);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QToolButton *stripButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon,
                         const QString &hint)
{
    QToolButton *button = MakeToolButton(parent, name, icon, hint);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

SettingsPage::SettingsPage(ServiceContext &context, QWidget *parent)
    : QWidget(parent), context_(context),
      tariffSource_([&danni = context.danni] { return TariffNames(danni); })
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildSaveStrip());

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(buildGroups());
    layout->addWidget(scroll, 1);
    refresh();
}

QWidget *SettingsPage::buildSaveStrip()
{
    auto *strip = new QFrame(this);
    strip->setObjectName(QStringLiteral("Panel5"));
    strip->setFixedWidth(44);
    strip->setStyleSheet(QStringLiteral("QFrame#Panel5 { background: #0000ff; }"));
    auto *column = new QVBoxLayout(strip);
    column->setContentsMargins(4, 8, 4, 8);
    auto *save = stripButton(strip, "SpeedButton1", QStyle::SP_DialogSaveButton,
                             QStringLiteral("Зберегти налаштування"));
    connect(save, &QToolButton::clicked, this, &SettingsPage::SpeedButton1Click);
    column->addWidget(save);
    column->addStretch();
    return strip;
}

QWidget *SettingsPage::buildGroups()
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->addWidget(firmGroup());
    column->addWidget(databaseGroup());
    column->addWidget(mobileGroup());
    column->addWidget(webGroup());
    column->addWidget(ordersGroup());
    column->addWidget(advertGroup());
    column->addStretch();
    return content;
}

QGroupBox *SettingsPage::firmGroup()
{
    auto *group = new QGroupBox(QStringLiteral("  Дані підприємства ...  "));
    QFormLayout *form = formOf(group);
    addText(form, "Edit3", QStringLiteral("Назва"), &S::NAME_FIRMA);
    addText(form, "Edit4", QStringLiteral("Адреса"), &S::ADRESS_FIRMA);
    addText(form, "Edit5", QStringLiteral("Телефони"), &S::TELEFON_FIRMA);
    addText(form, "Edit6", QStringLiteral("Повідомлення при запуску для всіх"),
            &S::POVIDOML_PRI_ZAPUSKU);
    addText(form, "Edit37", QStringLiteral("Місто знаходження служби"), &S::MISTO);
    addText(form, "Edit21", QStringLiteral("Поздоровлення з д.н."), &S::DAY_NARODZHENYA);
    addText(form, "Edit9", QStringLiteral("Шаблон повідом. при створ. аккаунта"),
            &S::POVID_PRI_CREAT_ACCAUNT);
    return group;
}

QGroupBox *SettingsPage::databaseGroup()
{
    auto *group = new QGroupBox(QStringLiteral("  Налаштування бази даних ...  "));
    QFormLayout *form = formOf(group);
    databaseLabels_ = {
        {addDatabaseLabel(form, "Label21", QStringLiteral("СЕРВЕР БАЗИ ДИСПЕТЧЕРІВ :")),
         &S::SERVER},
        {addDatabaseLabel(form, "Label23", QStringLiteral("ШЛЯХ  БАЗИ ДИСПЕТЧЕРІВ :")),
         &S::PATH_BAZA},
        {addDatabaseLabel(form, "Label22", QStringLiteral("НАЗВА  БАЗИ  ДИСПЕТЧЕРІВ :")),
         &S::NAME_BAZA},
        {addDatabaseLabel(form, "Label16", QStringLiteral("ЛОГІН СЕРВЕРА")), &S::LOGIN},
    };
    passwordShown_ = new QToolButton;
    passwordShown_->setObjectName(QStringLiteral("PasswordShown"));
    passwordShown_->setText(QStringLiteral("показати"));
    passwordShown_->setCheckable(true);
    connect(passwordShown_, &QToolButton::toggled, this, &SettingsPage::showPassword);
    password_ = addDatabaseLabel(form, "Label15", QStringLiteral("ПАРОЛЬ СЕРВЕРА"), passwordShown_);
    return group;
}

QGroupBox *SettingsPage::mobileGroup()
{
    auto *group = new QGroupBox(QStringLiteral("  Налаштування зєднань JAVA SERVERA ...  "));
    QFormLayout *form = formOf(group);
    addText(form, "Edit36", QStringLiteral("ПОРТ ЗЄДНАНЬ ДО JAVA СЕРВІСА"), &S::PORT_JAVA_SERVERA,
            true);
    addFlag(form, "CheckBox14", QStringLiteral("НЕ ВКЛЮЧАТИ СЕРВЕР"), &S::CLOSE_SERVER);
    addText(form, "Edit33", QStringLiteral("Максимальна кількість зєднань"),
            &S::JAVA_MAX_KIL_ZEDNAYA, true);
    addText(form, "Edit34",
            QStringLiteral("Максимальний час зєднання для некодованого зєднання, хв"),
            &S::JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN, true);
    addText(form, "Edit35", QStringLiteral("Максимальний час зєднання для кодованого зєднання, хв"),
            &S::JAVA_MAX_CHAS_KODOVANOGO_ZEDN, true);
    addText(form, "Edit32", QStringLiteral("Кількість позицій в LOG-листі для збереження"),
            &S::JAVA_KIL_LOG_POZ, true);
    return group;
}

QGroupBox *SettingsPage::webGroup()
{
    auto *group = new QGroupBox(QStringLiteral("  Налаштування зєднань WEB SERVERA ...  "));
    QFormLayout *form = formOf(group);
    addText(form, "Edit12", QStringLiteral("ПОРТ ЗЄДНАНЬ ДО WEB СЕРВІСА"), &S::PORT_WEB_SERVERA,
            true);
    addFlag(form, "CheckBox3", QStringLiteral("ЗАГРУЖАТИ ВСІМ ЗЄДНАННЯМ СТОРІНКУ РЕМОНТНИХ РОБІТ"),
            &S::ZAGRUZKA_REMONT_ROBIT);
    addText(form, "Edit1", QStringLiteral("Максимальна кількість зєднань"), &S::MAX_KIL_ZEDNAYA,
            true);
    addText(form, "Edit2",
            QStringLiteral("Максимальний час зєднання для некодованого зєднання, хв"),
            &S::MAX_CHAS_NEKODOVANOGO_ZEDN, true);
    addText(form, "Edit7", QStringLiteral("Максимальний час зєднання для кодованого зєднання, хв"),
            &S::MAX_CHAS_KODOVANOGO_ZEDN, true);
    addText(form, "Edit16", QStringLiteral("Кількість позицій в LOG-листі для збереження"),
            &S::KIL_LOG_POZ, true);
    addText(
        form, "Edit27",
        QStringLiteral("Час для таймера web сторінки швидкого замовлення обновлення даних, сек"),
        &S::TIMER_REFLESH_DATA_SHVIDK_ZAM, true);
    addText(
        form, "Edit30",
        QStringLiteral("Час для таймера web сторінки кодованого замовлення обновлення даних, сек"),
        &S::TIMER_REFLESH_DATA_KODOV_ZAM, true);
    return group;
}

QGroupBox *SettingsPage::ordersGroup()
{
    auto *group = new QGroupBox(QStringLiteral("  Налаштування доступа до замовлень ...  "));
    QFormLayout *form = formOf(group);

    tariff_ = new TariffComboBox;
    tariff_->setObjectName(QStringLiteral("ComboBox3"));
    tariff_->setMinimumWidth(240);
    tariff_->onDropDown = [this] { return ComboBox3DropDown(); };
    connect(tariff_, &QComboBox::textActivated, this, &SettingsPage::chooseTariff);
    auto *tariffRow = new QHBoxLayout;
    tariffRow->addWidget(tariff_);
    tariffRow->addStretch();
    form->addRow(captionLabel(QStringLiteral("ДОЗВОЛЕНИЙ ТАРИФ ДЛЯ ЗАКАЗІВ З WEB/JAVA")),
                 tariffRow);

    addFlag(form, "CheckBox5", QStringLiteral("ДОЗВІЛ  ЗАМОВЛЕННЯ  ЮВІЛЕЙОК"),
            &S::DOSTUP_ZAKAZ_YUVILEYLA);
    addText(
        form, "Edit22",
        QStringLiteral("Години коли дозволені ювілейки (наприклад [18] термін від 18.00 до 18.59)"),
        &S::ROZKLAD_YUVILEYOK);
    addFlag(
        form, "CheckBox6",
        QStringLiteral("ДОЗВІЛ МОЖЛИВОСТІ ШВИДКОГО ЗАМОВЛЕННЯ БЕЗ ЗНАННЯ КОДА КЛІЄНТА (тільки на "
                       "телефонні дані)"),
        &S::DOZVIL_ZAM_PO_DANIH_TELEFONA);
    addFlag(form, "CheckBox15",
            QStringLiteral("ШВИДКЕ ЗАМОВЛЕННЯ БЕЗ ЗНАННЯ КОДА КЛІЄНТА (без перевірки телефона)"),
            &S::DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI);
    addFlag(form, "CheckBox7", QStringLiteral("БЛОКУВАННЯ ФОРМИ ШВИДКОГО ЗАМОВЛЕННЯ"),
            &S::BLOK_SHVIDK_ZAMOV);
    addFlag(form, "CheckBox8", QStringLiteral("БЛОКУВАННЯ ФОРМИ КОДОВАНИХ ЗАМОВЛЕНЬ"),
            &S::BLOK_KODOVAN_ZAMOV);
    addFlag(form, "CheckBox9", QStringLiteral("БЛОКУВАННЯ ФОРМИ РЕЄСТРАЦІЇ У СИСТЕМІ"),
            &S::BLOK_REESTRACIYA);
    addFlag(form, "CheckBox12",
            QStringLiteral("ДЛЯ  КОДОВАНОГО  КЛІЄНТА  ЗАГРУЖАТИ  НА  ПАНЕЛЬ  СТВОРЕННЯ  НОВОГО "
                           "ЗАМОВЛЕННЯ   АРХІВ  ЗАМОВЛЕНЬ"),
            &S::ZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM);
    addFlag(form, "CheckBox13",
            QStringLiteral("МОЖЛИВІСТЬ  КЛІЄНТУ  ПОЧАТКОВОГО  ПРОРАХУНКА  СУМИ  ПОЇЗДКИ"),
            &S::DOZVIL_POCHATK_ROZR_SUMA);
    addText(form, "Edit31",
            QStringLiteral("Кількість спроб прорахунку відстані кодованим клієнтом (у випадку "
                           "дозволеності прорахунку)"),
            &S::KIL_SPROB_PRORAH, true);
    addText(form, "Edit20",
            QStringLiteral("Час для закриття замовлення (для тих що не розрахована відстань), хв"),
            &S::CHAS_ZAKRITTYA_ZAM, true);
    addText(form, "Edit13",
            QStringLiteral("Код клієнта з якого начинається відрахунок створення нових кодів"),
            &S::KOD_VIDRAHUNOK_STVOR_NEW_KOD, true);
    addFlag(form, "CheckBox1", QStringLiteral("ПОКАЗУВАТИ ОСОБИСТЕ ПОВІДОМЛЕННЯ КЛІЄНТУ"),
            &S::POKAZ_OSOBIST_POVID_KLIENTU);
    addFlag(form, "CheckBox2", QStringLiteral("ДОСТУП ДО ОЧИСТКИ ОСОБИСТОГО ПОВІДОМЛЕННЯ КЛІЄНТОМ"),
            &S::DELETE_OSOBIST_POVID_AFTEROPENPROGRAM);
    addFlag(
        form, "CheckBox11",
        QStringLiteral("АВТОМАТИЧНО ПОЗДОРОВЛЯТИ З ДНЕМ НАРОДЖЕННЯ КОДОВАНИХ КЛІЄНТІВ ПРИ ВХОДІ В "
                       "СИСТЕМУ"),
        &S::POZDOROVLENNYA_Z_DNEM_NAROD);
    return group;
}

QGroupBox *SettingsPage::advertGroup()
{
    auto *group = new QGroupBox(QStringLiteral("  Налаштування реклами ...  "));
    QFormLayout *form = formOf(group);
    addText(form, "Edit8", QStringLiteral("URL рисунка (194*120)"), &S::URL_IMG);
    addText(form, "Edit17", QStringLiteral("URL сайта"), &S::URL_SAIT);
    addText(form, "Edit10", QStringLiteral("Текст реклами (не більше 500 символів)"),
            &S::TEXT_REKLAMA);
    addText(form, "Edit11", QStringLiteral("Текст знизу реклами"), &S::TEXT_ZNIZU_REKLAMY);
    addFlag(form, "CheckBox4", QStringLiteral("Включити обробку реклами"),
            &S::OPEN_OBROBKA_REKLAMA);

    auto *buttons = new QHBoxLayout;
    auto *restore = stripButton(group, "SpeedButton20", QStyle::SP_BrowserReload,
                                QStringLiteral("Відновити дані реклами по замовчюванні"));
    restore->setAutoRaise(false);
    connect(restore, &QToolButton::clicked, this, &SettingsPage::SpeedButton20Click);
    auto *schedule = new QPushButton(QStringLiteral("Розклад реклами ... "), group);
    schedule->setObjectName(QStringLiteral("SpeedButton4"));
    connect(schedule, &QPushButton::clicked, this, &SettingsPage::advertScheduleRequested);
    buttons->addWidget(restore);
    buttons->addWidget(schedule);
    buttons->addStretch();
    form->addRow(QString(), buttons);
    return group;
}

void SettingsPage::addText(QFormLayout *form, const char *name, const QString &caption,
                           QString ServerSettings::*member, bool number)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    if (number)
        edit->setMaximumWidth(120);
    connect(edit, &QLineEdit::textEdited, this, [this, member](const QString &text) {
        ServiceLockGuard lock(ServiceLock());
        context_.settings.*member = text;
    });
    form->addRow(captionLabel(caption), edit);
    texts_.emplace_back(edit, member);
}

void SettingsPage::addFlag(QFormLayout *form, const char *name, const QString &caption,
                           bool ServerSettings::*member)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    connect(box, &QCheckBox::clicked, this, [this, member](bool checked) {
        ServiceLockGuard lock(ServiceLock());
        context_.settings.*member = checked;
    });
    // Some captions are a whole sentence long: they take the full width of the group.
    form->addRow(box);
    flags_.emplace_back(box, member);
}

QLabel *SettingsPage::addDatabaseLabel(QFormLayout *form, const char *name, const QString &caption, QWidget *beside)
{
    auto *value = new QLabel;
    value->setObjectName(QString::fromLatin1(name));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = value->font();
    font.setBold(true);
    value->setFont(font);
    if (!beside) {
        form->addRow(captionLabel(caption), value);
        return value;
    }
    auto *row = new QHBoxLayout;
    row->addWidget(value);
    row->addWidget(beside);
    row->addStretch();
    form->addRow(captionLabel(caption), row);
    return value;
}

void SettingsPage::showPassword()
{
    if (!databaseShown_) {
        password_->setText(kNotSet);
        return;
    }
    QString password;
    {
        ServiceLockGuard lock(ServiceLock());
        password = context_.settings.PASS;
    }
    // The mask tells nothing of the password, not even its length.
    password_->setText(passwordShown_->isChecked() ? password : QString(8, QChar(0x25CF)));
}

void SettingsPage::refresh()
{
    ServerSettings s;
    {
        ServiceLockGuard lock(ServiceLock());
        s = context_.settings;
    }
    for (const auto &[edit, member] : texts_)
        edit->setText(s.*member);
    for (const auto &[box, member] : flags_)
        box->setChecked(s.*member);
    for (const auto &[label, member] : databaseLabels_)
        label->setText(databaseShown_ ? s.*member : kNotSet);
    showPassword();
    // After a load the list holds the saved tariff alone; the rest come when it opens.
    tariff_->clear();
    if (!s.MAIN_TARIF.isEmpty()) {
        tariff_->addItem(s.MAIN_TARIF);
        tariff_->setCurrentIndex(0);
    }
}

void SettingsPage::showLoadedSettings()
{
    databaseShown_ = true;
    refresh();
}

void SettingsPage::SpeedButton1Click()
{
    // The save asks the operator first: the lock is not held while the question is up.
    ServerSettings s;
    {
        ServiceLockGuard lock(ServiceLock());
        s = context_.settings;
    }
    SaveSettings(s, context_.folder, context_.prompt);
}

void SettingsPage::SpeedButton20Click()
{
    {
        ServiceLockGuard lock(ServiceLock());
        RestoreDefaultAdvert(context_.settings, context_.folder);
    }
    refresh();
}

bool SettingsPage::ComboBox3DropDown()
{
    tariff_->clear();
    {
        ServiceLockGuard lock(ServiceLock());
        context_.settings.MAIN_TARIF.clear();
    }
    QStringList names;
    try {
        names = tariffSource_();
    } catch (const fb::Error &error) {
        context_.prompt.message(error.text());
        return false;
    }
    tariff_->addItems(names);
    // Opening the list and leaving it without a choice leaves no tariff.
    tariff_->setCurrentIndex(-1);
    return true;
}

void SettingsPage::chooseTariff(const QString &name)
{
    ServiceLockGuard lock(ServiceLock());
    context_.settings.MAIN_TARIF = name;
}
