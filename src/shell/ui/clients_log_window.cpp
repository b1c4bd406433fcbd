#include "shell/ui/clients_log_window.h"

#include "common/prompt.h"
#include "shell/operator_log.h"
#include "shell/service_context.h"
#include "shell/table_export.h"
#include "shell/ui/clients_page.h"
#include "shell/ui/external_url.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

TForm2::TForm2(ServiceContext &context, QWidget *parent)
    : QDialog(parent), context_(context), prompt_(context.prompt), pages_(new QTabWidget(this)),
      clients_(new ClientsPage(context))
{
    OperatorLog &webLog = context.webLog;
    OperatorLog &mobileLog = context.mobileLog;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("ТАБЛИЦЯ КЛІЄНТІВ"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowModality(Qt::ApplicationModal);
    resize(1200, 700);

    pages_->addTab(withCloseStrip(QStringLiteral("TABL_KLIENT"), clients_, clients_->exportButton()),
                   QStringLiteral("TABL_KLIENT"));
    connect(clients_->exportButton(), &QPushButton::clicked, this,
            [this] { ExportGrid(context_, TDANI::Grid::Klient, &OpenExportedFile); });
    RichEdit2 = logView(QStringLiteral("RichEdit2"), webLog);
    pages_->addTab(withCloseStrip(QStringLiteral("LOG_LIST"), RichEdit2),
                   QStringLiteral("LOG_LIST"));
    RichEdit1 = logView(QStringLiteral("RichEdit1"), mobileLog);
    pages_->addTab(withCloseStrip(QStringLiteral("LOG_LIST_JAVA"), RichEdit1),
                   QStringLiteral("LOG_LIST_JAVA"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(pages_);

    // Enter in a field must not press a button of the window (the first would close it).
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    // A save that failed or a threshold that is not a number: the operator must know.
    for (OperatorLog *log : {&webLog, &mobileLog})
        connect(
            log, &OperatorLog::problem, this,
            [this](const QString &text) { prompt_.message(text); }, Qt::QueuedConnection);
}

QPlainTextEdit *TForm2::logView(const QString &name, OperatorLog &log)
{
    auto *view = new QPlainTextEdit;
    view->setObjectName(name);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    view->setFont(font);

    // While saves fail the log drops its oldest lines; the view must not outgrow it. The
    // limit follows the threshold, read again at every save.
    view->setMaximumBlockCount(log.capacity());
    // Lines come from web threads with the log's mutex held, hence queued.
    connect(
        &log, &OperatorLog::lineAppended, view,
        [view](const QString &line) { view->appendPlainText(line); }, Qt::QueuedConnection);
    connect(
        &log, &OperatorLog::cleared, view,
        [view, &log] {
            view->clear();
            view->setMaximumBlockCount(log.capacity());
        },
        Qt::QueuedConnection);
    for (const QString &line : log.lines())
        view->appendPlainText(line);
    return view;
}

QWidget *TForm2::withCloseStrip(const QString &name, QWidget *body, QWidget *extra)
{
    auto *page = new QWidget;
    page->setObjectName(name);
    auto *strip = new QFrame(page);
    strip->setFrameShape(QFrame::StyledPanel);
    auto *close = new QPushButton(QStringLiteral("Закрити без змін  ..."), strip);
    close->setObjectName(QStringLiteral("CloseButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(4, 4, 4, 4);
    stripLayout->addWidget(close);
    if (extra)
        stripLayout->addWidget(extra);
    stripLayout->addStretch();

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(strip);
    layout->addWidget(body, 1);
    return page;
}

void TForm2::showPage(Page page)
{
    pages_->setCurrentIndex(int(page));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void TForm2::showClients(const ClientSearch &search)
{
    showPage(Page::TablKlient);
    clients_->showClients(search);
}

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window restored by the window system shows what it showed.
    if (!event->spontaneous())
        clients_->FormShow();
}

void TForm2::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        clients_->FormClose();
}

TForm2::Page TForm2::currentPage() const { return Page(pages_->currentIndex()); }
