#include "shell/ui/requests_page.h"

#include "shell/service_context.h"
#include "shell/ui/operator_grid.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *field(const char *name, bool readOnly)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    return edit;
}

QPushButton *button(const char *name, const QString &caption, bool enabled = true)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    b->setEnabled(enabled);
    return b;
}

// A read-only field with the button that corrects it.
QWidget *withButton(QLineEdit *edit, QPushButton *correct)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(correct);
    return row;
}

}  // namespace

RequestsPage::RequestsPage(ServiceContext &context, QWidget *parent)
    : QWidget(parent), logic_(context),
      DBGrid2(new OperatorGrid(context.danni, TDANI::Grid::Zayavki,
                               {{QStringLiteral("TABLE_ZAYAVKA_NP"), QStringLiteral("н/п")},
                                {QStringLiteral("TABLE_ZAYAVKA_DATA"), QStringLiteral("Дата і час")},
                                {QStringLiteral("TABLE_ZAYAVKA_PASS"), QStringLiteral("Пароль")},
                                {QStringLiteral("TABLE_ZAYAVKA_KOD"), QStringLiteral("Код клієнта")},
                                {QStringLiteral("TABLE_ZAYAVKA_TELEF"), QStringLiteral("Вказаний телефон")},
                                {QStringLiteral("TABLE_ZAYAVKA_DODAT"), QStringLiteral("Додаткові дані")},
                                {QStringLiteral("TABLE_ZAYAVKA_PRIM"), QStringLiteral("Примітка")}})),
      Edit28(field("Edit28", true)), Edit29(field("Edit29", true)), Edit23(field("Edit23", true)),
      Edit24(field("Edit24", true)), Edit25(field("Edit25", true)), Edit14(field("Edit14", true)),
      Edit15(field("Edit15", true)), Edit18(field("Edit18", true)), Edit19(field("Edit19", true)),
      Edit26(field("Edit26", false)),
      SpeedButton11(button("SpeedButton11", QStringLiteral("Показати в таблиці клієнтів"), false)),
      SpeedButton12(button("SpeedButton12", QStringLiteral("Показати в таблиці клієнтів"), false)),
      SpeedButton35(button("SpeedButton35", QStringLiteral("Створити нового клієнта web сервіса по  вказаним  даним"),
                           false))
{
    setObjectName(QStringLiteral("TabSheet2"));
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    auto *group = new QGroupBox(QStringLiteral("  Створення / редагування / знищення  ...  "));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(buildEditing());
    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("PageControl3"));
    tabs->addTab(buildComparison(), QStringLiteral("  Порівняння з головною таблицею "));
    tabs->addTab(buildCreation(), QStringLiteral("  Добавлення заявки у таблицю клієнтів ...  "));
    groupLayout->addWidget(tabs);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid2, 1);
    layout->addWidget(group);

    connect(DBGrid2, &OperatorGrid::rowChosen, &logic_, &RegistrationRequests::GPRS_TABL_ZAYAVKIAfterScroll);
    connect(&logic_, &RegistrationRequests::selectionChanged, this, &RequestsPage::showSelection);
    connect(&logic_, &RegistrationRequests::clientsRequested, this, &RequestsPage::clientsRequested);
    connect(SpeedButton11, &QPushButton::clicked, &logic_, &RegistrationRequests::SpeedButton11Click);
    connect(SpeedButton12, &QPushButton::clicked, &logic_, &RegistrationRequests::SpeedButton12Click);
    connect(SpeedButton35, &QPushButton::clicked, this, [this] { logic_.SpeedButton35Click(Edit26->text()); });
}

QWidget *RequestsPage::buildEditing()
{
    auto *remove = button("SpeedButton37", QStringLiteral("Знищити вибрану заявку"));
    auto *clear = button("SpeedButton38", QStringLiteral("Очистити список заявок"));
    auto *code = button("SpeedButton13", QStringLiteral("Змінити ..."));
    auto *telephone = button("SpeedButton14", QStringLiteral("Змінити ..."));
    auto *password = button("SpeedButton15", QStringLiteral("Змінити ..."));
    connect(remove, &QPushButton::clicked, &logic_, &RegistrationRequests::SpeedButton37Click);
    connect(clear, &QPushButton::clicked, &logic_, &RegistrationRequests::SpeedButton38Click);
    connect(code, &QPushButton::clicked, &logic_, &RegistrationRequests::SpeedButton13Click);
    connect(telephone, &QPushButton::clicked, &logic_, &RegistrationRequests::SpeedButton14Click);
    connect(password, &QPushButton::clicked, &logic_, &RegistrationRequests::SpeedButton15Click);

    auto *box = new QWidget;
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(clear);
    buttons->addStretch();
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Примітка"), Edit28);
    form->addRow(QStringLiteral("ДОДАТКОВІ ДАНІ"), Edit29);
    form->addRow(QStringLiteral("КОД  КЛІЄНТА :"), withButton(Edit23, code));
    form->addRow(QStringLiteral("ТЕЛЕФОН :"), withButton(Edit24, telephone));
    form->addRow(QStringLiteral("ПАРОЛЬ"), withButton(Edit25, password));
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addLayout(form);
    return box;
}

QWidget *RequestsPage::buildComparison()
{
    auto *client = new QGroupBox(QStringLiteral("  ПЕРЕВІРКА ДАНИХ В ГОЛОВНІЙ ТАБЛИЦІ  КЛІЄНТІВ  ПО  КОДУ  "));
    auto *clientForm = new QFormLayout(client);
    clientForm->addRow(QStringLiteral("ДОДАТКОВІ ДАНІ"), Edit14);
    clientForm->addRow(QStringLiteral("ФІО  КЛІЄНТА"), Edit15);
    clientForm->addRow(QStringLiteral("АДРЕСА  КЛІЄНТА"), Edit18);
    clientForm->addRow(QStringLiteral("ТЕЛЕФОНИ  КЛІЄНТА"), Edit19);

    auto *accounts = new QGroupBox(QStringLiteral("  Існування клієнта в таблиці Web сервіса ...   "));
    auto *accountsForm = new QFormLayout(accounts);
    accountsForm->addRow(QStringLiteral("ПО  ЗАДАНОМУ  КОДУ"), SpeedButton11);
    accountsForm->addRow(QStringLiteral("ПО  ВКАЗАНОМУ  ТЕЛЕФОНІ"), SpeedButton12);

    auto *page = new QWidget;
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(client, 2);
    layout->addWidget(accounts, 1);
    return page;
}

QWidget *RequestsPage::buildCreation()
{
    // The personal message goes into TABLE_KLIENT_POVID, 500 characters wide: a longer one
    // (a long template) is refused with a message when the account is made, so the field
    // takes it whole rather than cutting it silently.
    auto *empty = button("SpeedButton16", QStringLiteral("Очистити"));
    auto *pattern = button("SpeedButton17", QStringLiteral("Взяти шаблон ..."));
    connect(empty, &QPushButton::clicked, Edit26, &QLineEdit::clear);
    connect(pattern, &QPushButton::clicked, this, [this] { Edit26->setText(logic_.SpeedButton17Click()); });

    auto *message = new QHBoxLayout;
    message->addWidget(Edit26, 1);
    message->addWidget(empty);
    message->addWidget(pattern);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("ОСОБИСТЕ ПОВІДОМЛЕННЯ"), message);
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(SpeedButton35, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

void RequestsPage::showSelection(const RequestSelection &s)
{
    Edit28->setText(s.note);
    Edit29->setText(s.extra);
    Edit23->setText(s.code);
    Edit24->setText(s.telephone);
    Edit25->setText(s.password);
    Edit14->setText(s.clientExtra);
    Edit15->setText(s.clientName);
    Edit18->setText(s.clientAddress);
    Edit19->setText(s.clientPhones);
    SpeedButton11->setEnabled(s.showByCode);
    SpeedButton12->setEnabled(s.showByTelephone);
    SpeedButton35->setEnabled(s.canCreate);
}
