#include "shell/ui/counters_panel.h"

#include "common/service_lock.h"
#include "data/danni.h"
#include "shell/account_counters.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel *addCounter(QVBoxLayout *layout, const QString &caption, const QString &name)
{
    auto *title = new QLabel(caption);
    title->setWordWrap(true);
    auto *value = new QLabel;
    value->setObjectName(name);
    QFont font = value->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 4);
    value->setFont(font);
    value->setStyleSheet(QStringLiteral("color: #000080;"));
    layout->addWidget(title);
    layout->addWidget(value);
    layout->addSpacing(12);
    return value;
}

}  // namespace

CountersPanel::CountersPanel(TDANI &danni, AccountCounters &accounts, QWidget *parent)
    : QFrame(parent), danni_(danni), accounts_(accounts)
{
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(190);
    auto *layout = new QVBoxLayout(this);
    active_ = addCounter(layout, QStringLiteral("Кількість активних зєднань"),
                         QStringLiteral("Label3"));
    // Sessions refused at the limits: slots held for nothing show here first.
    refused_ = addCounter(layout, QStringLiteral("Відмовлено у web сесії з запуску"), QStringLiteral("RefusedSessions"));
    coded_ = addCounter(layout, QStringLiteral("Кількість кодованих зєднань"),
                        QStringLiteral("Label25"));
    requests_ = addCounter(layout, QStringLiteral("Кількість поданих заявок"),
                           QStringLiteral("Label7"));
    complaints_ = addCounter(layout, QStringLiteral("Кількість поданих скарг"),
                             QStringLiteral("Label11"));
    layout->addStretch();
    // Web threads recount the grids; the signal arrives here on the main thread.
    connect(&danni_, &TDANI::countersChanged, this, &CountersPanel::refresh, Qt::QueuedConnection);
    connect(&accounts_, &AccountCounters::changed, this, &CountersPanel::refresh, Qt::QueuedConnection);
    refresh();
}

void CountersPanel::refresh()
{
    ServiceLockGuard lock(ServiceLock());
    active_->setText(danni_.activeCount);
    refused_->setText(accounts_.values().refusedSessions);
    coded_->setText(danni_.codedCount);
    requests_->setText(danni_.requestCount);
    complaints_->setText(danni_.complaintCount);
}
