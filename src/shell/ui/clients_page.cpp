#include "shell/ui/clients_page.h"

#include "shell/ui/folding_panel.h"
#include "shell/ui/operator_grid.h"
#include "shell/ui/suggestion_combo_box.h"
#include "shell/ui/tool_button.h"
#include "shell/service_context.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHeaderView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

struct FilterControls {
    const char *check;
    const char *combo;
    const char *caption;
};

// In the order of ClientColumn.
constexpr std::array<FilterControls, kClientColumnCount> kFilters{{
    {"CheckBox2", "ComboBox2", "КОД КЛІЄНТА"},
    {"CheckBox3", "ComboBox3", "ПАРОЛЬ"},
    {"CheckBox4", "ComboBox4", "ВКАЗАНИЙ ТЕЛЕФОН"},
    {"CheckBox5", "ComboBox5", "БАН"},
    {"CheckBox7", "ComboBox6", "ОСОБИСТЕ ПОВІДОМЛЕННЯ"},
    {"CheckBox8", "ComboBox7", "ДОДАТКОВІ НАЛАШТУВАННЯ"},
}};

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

// A memo with the button that empties it.
QWidget *withClearButton(QPlainTextEdit *memo, const char *buttonName)
{
    auto *clear = button(buttonName, QStringLiteral("Очистити"));
    QObject::connect(clear, &QPushButton::clicked, memo, &QPlainTextEdit::clear);
    auto *box = new QWidget;
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo, 1);
    layout->addWidget(clear, 0, Qt::AlignTop);
    return box;
}

QPlainTextEdit *memo(const char *name)
{
    auto *m = new QPlainTextEdit;
    m->setObjectName(QString::fromLatin1(name));
    m->setTabChangesFocus(true);
    return m;
}

}  // namespace

ClientsPage::ClientsPage(ServiceContext &context, QWidget *parent)
    : QWidget(parent), logic_(context),
      grid_(new OperatorGrid(context.danni, TDANI::Grid::Klient,
                             {{QStringLiteral("TABLE_KLIENT_BAN"), QStringLiteral("БАН  -/+")},
                              {QStringLiteral("TABLE_KLIENT_DATBAN"), QStringLiteral("БАН до дати")},
                              {QStringLiteral("TABLE_KLIENT_TIMEBAN"), QStringLiteral("і часу")},
                              {QStringLiteral("TABLE_KLIENT_POVID"), QStringLiteral("Особисте повідомлення")},
                              {QStringLiteral("TABLE_KLIENT_DODAT"), QStringLiteral("Додаткові дані")}})),
      SpeedButton9(button("SpeedButton9", QStringLiteral("Експорт в Exel ...")))
{
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    // Texts of hundreds of characters must not push the other columns out of sight.
    grid_->horizontalHeader()->setMaximumSectionSize(320);
    searchPanel_ = new FoldingPanel(QStringLiteral("  Пошук  ...   "), buildSearch());
    editPanel_ = new FoldingPanel(QStringLiteral("  Редагування / знищення ...  "), buildEdit());
    searchPanel_->setObjectName(QStringLiteral("SearchPanel"));
    editPanel_->setObjectName(QStringLiteral("EditPanel"));
    panels_.add(searchPanel_);
    panels_.add(editPanel_);
    panels_.toggle(editPanel_);

    auto *panels = new QVBoxLayout;
    panels->addWidget(searchPanel_);
    panels->addWidget(editPanel_);
    panels->addStretch();
    auto *panelsBox = new QWidget;
    panelsBox->setLayout(panels);
    panelsBox->setFixedWidth(440);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildStrip());
    layout->addWidget(panelsBox);
    layout->addWidget(grid_, 1);

    connect(grid_, &OperatorGrid::rowChosen, &logic_, &ClientsTable::GPRS_TABL_KLIENTAfterScroll);
    connect(&logic_, &ClientsTable::selectionChanged, this, &ClientsPage::showSelection);
}

QWidget *ClientsPage::buildStrip()
{
    auto *strip = new QWidget;
    auto *whole = MakeToolButton(strip, "SpeedButton10", QStyle::SP_BrowserReload, QStringLiteral("Загальна таблиця"));
    auto *search = MakeToolButton(strip, "SpeedButton2", QStyle::SP_FileDialogContentsView, QStringLiteral("Пошук"));
    auto *edit = MakeToolButton(strip, "SpeedButton1", QStyle::SP_FileDialogDetailedView,
                                QStringLiteral("Редагування / знищення"));
    connect(whole, &QToolButton::clicked, &logic_, &ClientsTable::SpeedButton10Click);
    // Each opens its panel to full height and folds the other, or folds its own.
    connect(search, &QToolButton::clicked, this, [this] { panels_.toggle(searchPanel_); });
    connect(edit, &QToolButton::clicked, this, [this] { panels_.toggle(editPanel_); });
    auto *layout = new QVBoxLayout(strip);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(whole);
    layout->addWidget(search);
    layout->addWidget(edit);
    layout->addStretch();
    return strip;
}

QWidget *ClientsPage::buildSearch()
{
    auto *body = new QWidget;
    auto *grid = new QGridLayout(body);
    for (int i = 0; i < kClientColumnCount; ++i) {
        const ClientColumn column = ClientColumn(i);
        auto *check = new QCheckBox(QString::fromUtf8(kFilters[size_t(i)].caption));
        check->setObjectName(QString::fromLatin1(kFilters[size_t(i)].check));
        QComboBox *combo = nullptr;
        if (column == ClientColumn::Ban) {
            combo = new QComboBox;
            combo->setObjectName(QString::fromLatin1(kFilters[size_t(i)].combo));
            combo->addItems({QStringLiteral("-"), QStringLiteral("+")});
            combo->setCurrentIndex(-1);
            connect(combo, &QComboBox::activated, this, [this, column] { quickSearch(column); });
        } else {
            auto *suggesting = new SuggestionComboBox(
                kFilters[size_t(i)].combo, [this, column](const QString &typed) { return logic_.suggestions(column, typed); });
            connect(suggesting, &SuggestionComboBox::entered, this, [this, column] { quickSearch(column); });
            combo = suggesting;
        }
        checks_[size_t(i)] = check;
        combos_[size_t(i)] = combo;
        grid->addWidget(check, 2 * i, 0);
        grid->addWidget(combo, 2 * i + 1, 0);
    }
    auto *run = button("SearchButton", QStringLiteral("Пошук ..."));
    connect(run, &QPushButton::clicked, this, [this] { logic_.search(filters()); });
    grid->addWidget(run, 2 * kClientColumnCount, 0, Qt::AlignRight);
    grid->setRowStretch(2 * kClientColumnCount + 1, 1);
    return body;
}

QWidget *ClientsPage::buildEdit()
{
    code_ = new QLabel(kNotSet);
    code_->setObjectName(QStringLiteral("Label1"));
    code_->setStyleSheet(QStringLiteral("color: #000080; font-weight: bold;"));
    Edit1 = new QLineEdit;
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit;
    Edit2->setObjectName(QStringLiteral("Edit2"));
    CheckBox1 = new QCheckBox(QStringLiteral("Заблокований  /  активний"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    DateTimePicker1 = new QDateEdit;
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DateTimePicker2 = new QTimeEdit;
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    DateTimePicker2->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    Memo1 = memo("Memo1");
    Memo2 = memo("Memo2");
    connect(CheckBox1, &QCheckBox::toggled, this, &ClientsPage::showBanPickers);

    auto *pickers = new QHBoxLayout;
    pickers->addWidget(DateTimePicker1);
    pickers->addWidget(DateTimePicker2);
    pickers->addStretch();
    auto *save = button("SpeedButton3", QStringLiteral("Редагувати вибраний запис"));
    auto *remove = button("SpeedButton4", QStringLiteral("Знищити вибраний запис"));
    connect(save, &QPushButton::clicked, this, [this] {
        logic_.editSelected({Edit1->text(), Edit2->text(), CheckBox1->isChecked(), DateTimePicker1->date(),
                             DateTimePicker2->time(), Memo1->toPlainText(), Memo2->toPlainText()});
    });
    connect(remove, &QPushButton::clicked, &logic_, &ClientsTable::deleteSelected);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(remove);

    auto *body = new QWidget;
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Код клієнта"), code_);
    form->addRow(QStringLiteral("Пароль"), Edit1);
    form->addRow(QStringLiteral("Вказаний телефон"), Edit2);
    form->addRow(QStringLiteral("Активність"), CheckBox1);
    form->addRow(QStringLiteral("Бан до дати і часу"), pickers);
    auto *layout = new QVBoxLayout(body);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Особисте повідомлення (не більше 500 символів)")));
    layout->addWidget(withClearButton(Memo1, "SpeedButton5"), 1);
    layout->addWidget(new QLabel(QStringLiteral("Додаткові дані (не більше 500 символів)")));
    layout->addWidget(withClearButton(Memo2, "SpeedButton6"), 1);
    layout->addLayout(buttons);
    return body;
}

void ClientsPage::FormShow() { logic_.FormShow(); }

void ClientsPage::FormClose() { logic_.FormClose(); }

ClientFilters ClientsPage::filters() const
{
    ClientFilters f;
    for (size_t i = 0; i < f.size(); ++i)
        f[i] = {checks_[i]->isChecked(), combos_[i]->currentText()};
    return f;
}

void ClientsPage::quickSearch(ClientColumn column)
{
    ClientFilters f = filters();
    f[size_t(column)].ticked = true;
    logic_.search(f);
    // The filter stays in force until the next search; the box is left unticked.
    checks_[size_t(column)]->setChecked(false);
}

void ClientsPage::showClients(const ClientSearch &search)
{
    const ClientColumn column = search.field == ClientSearch::Field::Code ? ClientColumn::Code : ClientColumn::Telephone;
    for (QCheckBox *check : checks_)
        check->setChecked(false);
    combos_[size_t(column)]->setEditText(search.text);
    quickSearch(column);
}

void ClientsPage::showBanPickers(bool shown)
{
    DateTimePicker1->setVisible(shown);
    DateTimePicker2->setVisible(shown);
}

void ClientsPage::showSelection(const ClientSelection &s)
{
    code_->setText(s.code);
    Edit1->setText(s.password);
    Edit2->setText(s.telephone);
    CheckBox1->setChecked(s.banned);
    showBanPickers(s.banned);
    DateTimePicker1->setDate(s.banDate);
    DateTimePicker2->setTime(s.banTime);
    Memo1->setPlainText(s.message);
    Memo2->setPlainText(s.extra);
}
