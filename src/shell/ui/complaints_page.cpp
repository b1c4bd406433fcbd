#include "shell/ui/complaints_page.h"

#include "shell/service_context.h"
#include "shell/ui/operator_grid.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

}  // namespace

ComplaintsPage::ComplaintsPage(ServiceContext &context, QWidget *parent)
    : QWidget(parent), logic_(context),
      DBGrid3(new OperatorGrid(context.danni, TDANI::Grid::Skarga,
                               {{QStringLiteral("TABLE_SKARGA_NP"), QStringLiteral("н/п")},
                                {QStringLiteral("TABLE_SKARGA_DATA"), QStringLiteral("Дата")},
                                {QStringLiteral("TABLE_SKARGA_TIME"), QStringLiteral("Час")},
                                {QStringLiteral("TABLE_SKARGA_TELEF"), QStringLiteral("Телефон")}})),
      DBMemo1(new QPlainTextEdit), RichEdit1(new QPlainTextEdit),
      CheckBox10(new QCheckBox(QStringLiteral("ЗАГАЛЬНИЙ  СПИСОК  СКАРГ /  НЕОПРАЦЬОВАНІ СКАРГИ")))
{
    setObjectName(QStringLiteral("TabSheet3"));
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));
    DBMemo1->setReadOnly(true);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    CheckBox10->setObjectName(QStringLiteral("CheckBox10"));
    CheckBox10->setChecked(context.danni.allComplaints);

    auto *top = new QHBoxLayout;
    top->addWidget(DBGrid3, 3);
    top->addWidget(DBMemo1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buildHandling());

    connect(DBGrid3, &OperatorGrid::currentRowShown, this,
            [this] { DBMemo1->setPlainText(DBGrid3->currentValue(QStringLiteral("TABLE_SKARGA_TEXT"))); });
    connect(CheckBox10, &QCheckBox::clicked, &logic_, &ComplaintsHandling::CheckBox10Click);
    connect(&logic_, &ComplaintsHandling::clientsRequested, this, &ComplaintsPage::clientsRequested);
}

QWidget *ComplaintsPage::buildHandling()
{
    auto *show = button("SpeedButton10", QStringLiteral("ПОКАЗ  В  ТАБЛИЦІ  КЛІЄНТІВ"));
    auto *handled = button("SpeedButton7", QStringLiteral("Знищити  вибрану  скаргу"));
    auto *allHandled = button("SpeedButton9", QStringLiteral("Очистити  список  скарг"));
    auto *clear = button("SpeedButton6", QStringLiteral("Очистити текст відповіді"));
    auto *send = button("SpeedButton5", QStringLiteral("Відправити відповідь як особисте повідомлення"));
    connect(show, &QPushButton::clicked, &logic_, &ComplaintsHandling::SpeedButton10Click);
    connect(handled, &QPushButton::clicked, &logic_, &ComplaintsHandling::SpeedButton7Click);
    connect(allHandled, &QPushButton::clicked, &logic_, &ComplaintsHandling::SpeedButton9Click);
    connect(clear, &QPushButton::clicked, this, [this] {
        if (logic_.SpeedButton6Click())
            RichEdit1->clear();
    });
    connect(send, &QPushButton::clicked, this, [this] { logic_.SpeedButton5Click(RichEdit1->toPlainText()); });

    auto *group = new QGroupBox(QStringLiteral("  Опрацювання  скарги  ...  "));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox10);
    buttons->addStretch();
    buttons->addWidget(show);
    buttons->addWidget(handled);
    buttons->addWidget(allHandled);
    auto *answerButtons = new QHBoxLayout;
    answerButtons->addWidget(clear);
    answerButtons->addWidget(send);
    answerButtons->addStretch();
    auto *layout = new QVBoxLayout(group);
    layout->addLayout(buttons);
    layout->addWidget(new QLabel(QStringLiteral("ТЕКСТ  ВІДПОВІДІ  (не більше 500 знаків)")));
    layout->addWidget(RichEdit1);
    layout->addLayout(answerButtons);
    return group;
}
