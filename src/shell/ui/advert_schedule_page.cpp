#include "shell/ui/advert_schedule_page.h"

#include "shell/service_context.h"
#include "shell/table_export.h"
#include "shell/ui/external_url.h"
#include "shell/ui/operator_grid.h"
#include "shell/ui/suggestion_combo_box.h"
#include "shell/ui/tool_button.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHeaderView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QCheckBox *checkBox(const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QDateEdit *datePicker(const char *name)
{
    auto *picker = new QDateEdit(QDate::currentDate());
    picker->setObjectName(QString::fromLatin1(name));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return picker;
}

QLineEdit *lineEdit(const char *name)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLabel *counterLabel(const char *name)
{
    auto *label = new QLabel(kNotSet);
    label->setObjectName(QString::fromLatin1(name));
    label->setStyleSheet(QStringLiteral("color: #000080; font-weight: bold;"));
    return label;
}

QToolButton *modeButton(const char *name, const QString &caption)
{
    auto *button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setCheckable(true);
    return button;
}

}  // namespace

AdvertSchedulePage::AdvertSchedulePage(ServiceContext &context, QWidget *parent)
    : QWidget(parent), context_(context), logic_(context),
      grid_(new OperatorGrid(context.danni, TDANI::Grid::Reklama,
                             {{QStringLiteral("TABLE_REK_NP"), QStringLiteral("н/п")},
                              {QStringLiteral("TABLE_REK_ACTIV"), QStringLiteral("Активність")},
                              {QStringLiteral("TABLE_REK_NAME"), QStringLiteral("Назва клієнта")},
                              {QStringLiteral("TABLE_REK_DATE"), QStringLiteral("До дати")},
                              {QStringLiteral("TABLE_REK_RIS"), QStringLiteral("URL рисунка")},
                              {QStringLiteral("TABLE_REK_SAIT"), QStringLiteral("URL сайта")},
                              {QStringLiteral("TABLE_REK_TEXT"), QStringLiteral("Текст")}}))
{
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    // Texts of hundreds of characters must not push the other columns out of sight.
    grid_->horizontalHeader()->setMaximumSectionSize(320);
    search_ = new FoldingPanel(QStringLiteral("  Пошук ...  "), buildSearch(), 215);
    edit_ = new FoldingPanel(QStringLiteral("  Створення / редагування ...  "), buildEdit(), 360);
    counters_ = new FoldingPanel(QStringLiteral("  Додаткові дані ...  "), buildCounters(), 250);
    search_->setObjectName(QStringLiteral("SearchPanel"));
    edit_->setObjectName(QStringLiteral("EditPanel"));
    counters_->setObjectName(QStringLiteral("CountersPanel"));
    for (FoldingPanel *panel : {search_, edit_, counters_})
        panels_.add(panel);

    auto *column = new QWidget;
    column->setFixedWidth(380);
    auto *columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->addWidget(search_);
    columnLayout->addWidget(edit_);
    columnLayout->addWidget(counters_);
    columnLayout->addStretch();

    auto *body = new QHBoxLayout;
    body->addWidget(column);
    body->addWidget(grid_, 1);
    rotation_ = new QLabel;
    rotation_->setObjectName(QStringLiteral("RotationNote"));
    rotation_->setWordWrap(true);
    rotation_->setMargin(4);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildToolBar());
    layout->addWidget(rotation_);
    layout->addLayout(body, 1);

    connect(grid_, &OperatorGrid::rowChosen, &logic_, &AdvertSchedule::GPRS_TABL_REKLAMAAfterScroll);
    connect(&logic_, &AdvertSchedule::rowCopied, this, &AdvertSchedulePage::showFields);
    connect(&logic_, &AdvertSchedule::countersChanged, this, &AdvertSchedulePage::showCounters);
    connect(&logic_, &AdvertSchedule::created, this, [this] {
        ComboBox1->setEditText(QString());
        Edit1->clear();
        Edit2->clear();
        Memo1->clear();
    });
    logic_.FormCreate();
}

QWidget *AdvertSchedulePage::buildToolBar()
{
    auto *bar = new QWidget;
    auto *search = MakeToolButton(bar, "SpeedButton2", QStyle::SP_FileDialogContentsView, QStringLiteral("Форма пошуку"));
    auto *edit = MakeToolButton(bar, "SpeedButton3", QStyle::SP_FileDialogDetailedView, QStringLiteral("Форма редагування"));
    auto *extra = MakeToolButton(bar, "SpeedButton4", QStyle::SP_FileDialogInfoView, QStringLiteral("Додаткові дані"));
    auto *whole = MakeToolButton(bar, "SpeedButton13", QStyle::SP_BrowserReload, QStringLiteral("Загальна таблиця"));
    auto *excel = MakeToolButton(bar, "SpeedButton6", QStyle::SP_DialogSaveButton, QStringLiteral("Експорт в Excel"));
    auto *close = MakeToolButton(bar, "SpeedButton14", QStyle::SP_DialogCloseButton, QStringLiteral("Закрити форму"));
    connect(search, &QToolButton::clicked, this, [this] { panels_.toggle(search_); });
    connect(edit, &QToolButton::clicked, this, [this] { panels_.toggle(edit_); });
    connect(extra, &QToolButton::clicked, this, [this] { panels_.toggle(counters_); });
    connect(whole, &QToolButton::clicked, &logic_, &AdvertSchedule::SpeedButton13Click);
    connect(excel, &QToolButton::clicked, this,
            [this] { ExportGrid(context_, TDANI::Grid::Reklama, &OpenExportedFile); });
    connect(close, &QToolButton::clicked, this, &AdvertSchedulePage::closeRequested);
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 2, 2, 2);
    for (QToolButton *button : {search, edit, extra, whole, excel})
        layout->addWidget(button);
    layout->addStretch();
    layout->addWidget(close);
    return bar;
}

QWidget *AdvertSchedulePage::buildSearch()
{
    byActivity_ = checkBox("CheckBox2", QStringLiteral("Активність"));
    active_ = checkBox("CheckBox3", QStringLiteral("Активно / не активно"));
    byName_ = checkBox("CheckBox4", QStringLiteral("Назва клієнта"));
    byDate_ = checkBox("CheckBox5", QStringLiteral("До дати"));
    byPicture_ = checkBox("CheckBox6", QStringLiteral("URL рисунка"));
    bySite_ = checkBox("CheckBox7", QStringLiteral("URL сайта"));
    byText_ = checkBox("CheckBox8", QStringLiteral("Текст повідомлення"));
    using List = AdvertSchedule::List;
    ComboBox2 = new SuggestionComboBox("ComboBox2", [this](const QString &) { return logic_.ComboBoxDropDown(List::Names); });
    ComboBox3 = new SuggestionComboBox("ComboBox3", [this](const QString &) { return logic_.ComboBoxDropDown(List::Pictures); });
    ComboBox4 = new SuggestionComboBox("ComboBox4", [this](const QString &) { return logic_.ComboBoxDropDown(List::Sites); });
    from_ = datePicker("DateTimePicker2");
    to_ = datePicker("DateTimePicker3");
    Edit3 = lineEdit("Edit3");
    auto *run = new QToolButton;
    run->setObjectName(QStringLiteral("SpeedButton12"));
    run->setText(QStringLiteral("Пошук"));
    connect(run, &QToolButton::clicked, this, [this] { logic_.SpeedButton12Click(criteria()); });

    auto *dates = new QHBoxLayout;
    dates->addWidget(from_);
    dates->addWidget(to_);
    auto *body = new QWidget;
    auto *grid = new QGridLayout(body);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(byActivity_, 0, 0);
    grid->addWidget(active_, 0, 1);
    grid->addWidget(byName_, 1, 0);
    grid->addWidget(ComboBox2, 1, 1);
    grid->addWidget(byDate_, 2, 0);
    grid->addLayout(dates, 2, 1);
    grid->addWidget(byPicture_, 3, 0);
    grid->addWidget(ComboBox3, 3, 1);
    grid->addWidget(bySite_, 4, 0);
    grid->addWidget(ComboBox4, 4, 1);
    grid->addWidget(byText_, 5, 0);
    grid->addWidget(Edit3, 5, 1);
    grid->addWidget(run, 6, 1, Qt::AlignRight);
    return body;
}

QWidget *AdvertSchedulePage::buildEdit()
{
    auto *create = modeButton("SpeedButton7", QStringLiteral("Створення"));
    auto *change = modeButton("SpeedButton9", QStringLiteral("Редагування"));
    auto *remove = modeButton("SpeedButton10", QStringLiteral("Знищення"));
    auto *modes = new QButtonGroup(this);
    modes->setExclusive(true);
    modes->addButton(create);
    modes->addButton(change);
    modes->addButton(remove);
    create->setChecked(true);
    using Mode = AdvertSchedule::Mode;
    connect(create, &QToolButton::clicked, this, [this] { setMode(Mode::Create); });
    connect(change, &QToolButton::clicked, this, [this] { setMode(Mode::Edit); });
    connect(remove, &QToolButton::clicked, this, [this] { setMode(Mode::Delete); });

    SpeedButton11 = new QToolButton;
    SpeedButton11->setObjectName(QStringLiteral("SpeedButton11"));
    SpeedButton11->setText(AdvertSchedule::ActionCaption(Mode::Create));
    auto *expire = MakeToolButton(
        this, "SpeedButton5", QStyle::SP_DialogResetButton,
        QStringLiteral("Обнулення активності записів загальної таблиці реклами, які дійсні до дати в даний час"));
    connect(expire, &QToolButton::clicked, &logic_, &AdvertSchedule::SpeedButton5Click);

    CheckBox1 = checkBox("CheckBox1", QStringLiteral("Активність"));
    ComboBox1 = new SuggestionComboBox("ComboBox1",
                                       [this](const QString &) { return logic_.ComboBoxDropDown(AdvertSchedule::List::Names); });
    DateTimePicker1 = datePicker("DateTimePicker1");
    Edit1 = lineEdit("Edit1");
    Edit2 = lineEdit("Edit2");
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setTabChangesFocus(true);
    connect(SpeedButton11, &QToolButton::clicked, this, [this] {
        logic_.SpeedButton11Click({CheckBox1->isChecked(), ComboBox1->currentText(), DateTimePicker1->date(),
                                   Edit1->text(), Edit2->text(), Memo1->toPlainText()});
    });

    auto *buttons = new QHBoxLayout;
    for (QToolButton *button : {create, change, remove})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(expire);
    SpeedButton11->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *form = new QFormLayout;
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(QString(), CheckBox1);
    form->addRow(QStringLiteral("Назва клієнта"), ComboBox1);
    form->addRow(QStringLiteral("До дати"), DateTimePicker1);
    form->addRow(QStringLiteral("URL рисунка"), Edit1);
    form->addRow(QStringLiteral("URL сайта"), Edit2);
    auto *body = new QWidget;
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addLayout(buttons);
    layout->addWidget(SpeedButton11);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Текст повідомлення (не більше 500 символів)")));
    layout->addWidget(Memo1, 1);
    return body;
}

QWidget *AdvertSchedulePage::buildCounters()
{
    selectionTotal_ = counterLabel("SelectionTotal");
    selectionActive_ = counterLabel("SelectionActive");
    clientTotal_ = counterLabel("ClientTotal");
    clientActive_ = counterLabel("ClientActive");
    activeUpToDate_ = counterLabel("ActiveUpToDate");
    auto *body = new QWidget;
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 2);
    const auto pair = [&](const QString &caption, QLabel *total, QLabel *active) {
        layout->addWidget(new QLabel(caption));
        auto *form = new QFormLayout;
        form->addRow(QStringLiteral("загальна"), total);
        form->addRow(QStringLiteral("активні"), active);
        layout->addLayout(form);
    };
    pair(QStringLiteral("Кількість повідомлень у вибірці"), selectionTotal_, selectionActive_);
    pair(QStringLiteral("Кількість повідомлень вибраного клієнта"), clientTotal_, clientActive_);
    auto *upToDate = new QLabel(QStringLiteral("Кількість активних повідомлень до вибраної дати (включно)"));
    upToDate->setWordWrap(true);
    layout->addWidget(upToDate);
    layout->addWidget(activeUpToDate_);
    layout->addStretch();
    return body;
}

void AdvertSchedulePage::FormShow()
{
    showRotation();
    logic_.SpeedButton13Click();
}

void AdvertSchedulePage::showRotation()
{
    const AdvertSchedule::RotationNote note = logic_.rotationNote();
    rotation_->setText(note.text);
    rotation_->setStyleSheet(note.on ? QStringLiteral("color: #006400;")
                                     : QStringLiteral("color: #b00000; background: #fff3c0; font-weight: bold;"));
}

void AdvertSchedulePage::FormClose() { logic_.FormClose(); }

AdvertCriteria AdvertSchedulePage::criteria() const
{
    return {.byActivity = byActivity_->isChecked(),
            .active = active_->isChecked(),
            .byName = byName_->isChecked(),
            .name = ComboBox2->currentText(),
            .byDate = byDate_->isChecked(),
            .from = from_->date(),
            .to = to_->date(),
            .byPicture = byPicture_->isChecked(),
            .picture = ComboBox3->currentText(),
            .bySite = bySite_->isChecked(),
            .site = ComboBox4->currentText(),
            .byText = byText_->isChecked(),
            .text = Edit3->text()};
}

void AdvertSchedulePage::setMode(AdvertSchedule::Mode mode)
{
    SpeedButton11->setText(AdvertSchedule::ActionCaption(mode));
    logic_.setMode(mode);
}

void AdvertSchedulePage::showFields(const AdvertFields &fields)
{
    CheckBox1->setChecked(fields.active);
    ComboBox1->setEditText(fields.name);
    DateTimePicker1->setDate(fields.date);
    Edit1->setText(fields.picture);
    Edit2->setText(fields.site);
    Memo1->setPlainText(fields.text);
}

void AdvertSchedulePage::showCounters(const AdvertCounters &c)
{
    selectionTotal_->setText(c.selectionTotal);
    selectionActive_->setText(c.selectionActive);
    clientTotal_->setText(c.clientTotal);
    clientActive_->setText(c.clientActive);
    activeUpToDate_->setText(c.activeUpToDate);
}
