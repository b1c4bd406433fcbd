#include "shell/ui/advert_window.h"

#include "shell/account_counters.h"
#include "shell/service_context.h"
#include "shell/ui/advert_schedule_page.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLabel *valueLabel(const QString &name)
{
    auto *label = new QLabel;
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #000080;"));
    return label;
}

// The schedule needs room for its grid beside the panels; the other pages do not.
constexpr QSize kScheduleSize(1180, 720);
constexpr QSize kPageSize(720, 520);

}  // namespace

TForm3::TForm3(ServiceContext &context, QWidget *parent)
    : QDialog(parent), counters_(context.accounts), pages_(new QStackedWidget(this)),
      schedule_(new AdvertSchedulePage(context))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(kPageSize);

    // Without a window frame the edge is drawn here, or the window melts into the one below.
    auto *border = new QFrame(this);
    border->setObjectName(QStringLiteral("Border"));
    border->setStyleSheet(QStringLiteral("QFrame#Border { border: 2px solid #000080; }"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(border);
    auto *inner = new QVBoxLayout(border);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(pages_);

    pages_->addWidget(reklamaPage());
    pages_->addWidget(creationPage());
    pages_->addWidget(countersPage());

    // Enter in a field must not press a button of the window (the first would close it).
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    connect(&counters_, &AccountCounters::changed, this, &TForm3::refreshCounters,
            Qt::QueuedConnection);
    refreshCounters();
}

QWidget *TForm3::heading(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(32);
    label->setStyleSheet(
        QStringLiteral("background: #000080; color: #ffff00; font-weight: bold; font-size: 13pt;"));
    return label;
}

QWidget *TForm3::closeButton(const char *name)
{
    auto *button = new QPushButton(QStringLiteral("Закрити форму"));
    button->setObjectName(QString::fromLatin1(name));
    connect(button, &QPushButton::clicked, this, &QDialog::close);
    return button;
}

QWidget *TForm3::reklamaPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("REKLAMA"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(heading(QStringLiteral("Розклад реклами")));
    layout->addWidget(schedule_, 1);
    connect(schedule_, &AdvertSchedulePage::closeRequested, this, &QDialog::close);
    return page;
}

QWidget *TForm3::creationPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("CREATE_TABLE_BAZA"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(heading(QStringLiteral("ПРОЦЕС  СТВОРЕННЯ  БАЗИ  ДАНИХ")));
    progress_ = new QListWidget;
    progress_->setObjectName(QStringLiteral("ListBox1"));
    layout->addWidget(progress_, 1);
    // Start-up presses it itself, once; it only shows what is going on.
    auto *create = new QPushButton(QStringLiteral("Створити базу даних"));
    create->setObjectName(QStringLiteral("Button1"));
    create->setEnabled(false);
    layout->addWidget(create, 0, Qt::AlignRight);
    return page;
}

QWidget *TForm3::countersPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("LICILNIK"));
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(heading(QStringLiteral("ЛІЧИЛЬНИК АККАУНТІВ")));

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(8);
    int row = 0;
    const auto add = [&](const QString &caption, QLabel *value, bool indented = false) {
        auto *label = new QLabel(caption);
        if (indented)
            label->setIndent(24);
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row, 1);
        ++row;
    };
    const auto gap = [&] { grid->setRowMinimumHeight(row++, 12); };
    const QString last = QStringLiteral("Дата і час останнього входу");

    add(QStringLiteral("Сервер запущений в :"),
        startTime_ = valueLabel(QStringLiteral("StartTime")));
    gap();
    add(QStringLiteral("КІЛЬКІСТЬ СКАНУВАНЬ ПОРТА РОЗДАЧ"),
        scans_ = valueLabel(QStringLiteral("Scans")));
    gap();
    add(QStringLiteral("Кількість входів в швидке замовл."),
        quickEntries_ = valueLabel(QStringLiteral("QuickEntries")));
    add(last, quickLast_ = valueLabel(QStringLiteral("QuickLast")), true);
    gap();
    add(QStringLiteral("Кількість входів кодованих клієнтів"),
        codedEntries_ = valueLabel(QStringLiteral("CodedEntries")));
    add(last, codedLast_ = valueLabel(QStringLiteral("CodedLast")), true);
    gap();
    add(QStringLiteral("Кількість входів в новини"),
        newsEntries_ = valueLabel(QStringLiteral("NewsEntries")));
    add(last, newsLast_ = valueLabel(QStringLiteral("NewsLast")), true);

    layout->addLayout(grid);
    layout->addStretch();
    auto *bar = new QHBoxLayout;
    bar->addStretch();
    bar->addWidget(closeButton("SpeedButton1"));
    layout->addLayout(bar);
    return page;
}

void TForm3::showPage(Page page)
{
    pages_->setCurrentIndex(int(page));
    setFixedSize(page == Page::Reklama ? kScheduleSize : kPageSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
    if (page == Page::Reklama)
        schedule_->FormShow();
}

void TForm3::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        schedule_->FormClose();
}

TForm3::Page TForm3::currentPage() const { return Page(pages_->currentIndex()); }

void TForm3::showCreationPage()
{
    progress_->clear();
    showPage(Page::CreateTableBaza);
    // The creation runs right after this on the main thread: paint the page first.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm3::addCreationProgress(const QStringList &lines)
{
    progress_->addItems(lines);
    progress_->scrollToBottom();
    progress_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QStringList TForm3::creationProgress() const
{
    QStringList lines;
    for (int i = 0; i < progress_->count(); ++i)
        lines << progress_->item(i)->text();
    return lines;
}

void TForm3::refreshCounters()
{
    const AccountCounters::Values v = counters_.values();
    startTime_->setText(v.startTime);
    scans_->setText(v.scans);
    quickEntries_->setText(v.quickEntries);
    quickLast_->setText(v.quickLast);
    codedEntries_->setText(v.codedEntries);
    codedLast_->setText(v.codedLast);
    newsEntries_->setText(v.newsEntries);
    newsLast_->setText(v.newsLast);
}
