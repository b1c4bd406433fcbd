#include "shell/ui/main_window.h"

#include "shell/lifecycle_server_control.h"
#include "shell/service_context.h"
#include "shell/table_export.h"
#include "shell/ui/active_connections_grid.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"
#include "shell/ui/complaints_page.h"
#include "shell/ui/counters_panel.h"
#include "shell/ui/external_url.h"
#include "shell/ui/news_page.h"
#include "shell/ui/requests_page.h"
#include "shell/ui/settings_page.h"
#include "shell/ui/status_strip.h"
#include "shell/ui/taxi_logo.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kSettingsCaption = QStringLiteral("  НАЛАШТУВАННЯ  ");

}  // namespace

TForm1::TForm1(ServiceContext &context, ServerControl &control, QWidget *parent)
    : QMainWindow(parent), context_(context), control_(control), Panel19(new StatusStrip),
      counters_(new CountersPanel(context.danni, context.accounts))
{
    // FormCreate: the news are loaded before the news page shows them.
    control_.FormCreate();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Web сервіс замовлення таксі \"Tesmora - TAXI\""));
    // Fills the screen even where no window manager honours the maximized state.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());

    auto *central = new QWidget;
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(Panel19);
    auto *row = new QHBoxLayout;
    row->addWidget(counters_);
    row->addWidget(buildPages(), 1);
    column->addLayout(row, 1);
    setCentralWidget(central);
    buildMenu();

    connect(Panel19->logo(), &TaxiLogo::doubleClicked, this, [this] {
        const QUrl site = ProductSite(context_.settings);
        if (!site.isEmpty())
            OpenExternalUrl(site);
    });
    connect(&control_, &ServerControl::runningChanged, this, &TForm1::showRunning);
    // Told on the thread whose statement noticed: queued to this window.
    connect(&context_.danni, &TDANI::connectionChanged, this,
            [this](TDANI::Database database, bool connected) {
                if (database == TDANI::Database::Dispatch)
                    Panel19->setDispatchLost(!connected);
            },
            Qt::QueuedConnection);
    connect(&control_, &ServerControl::settingsPageVisible, this, &TForm1::setSettingsPageVisible);
    connect(settings_, &SettingsPage::advertScheduleRequested, this, &TForm1::N7Click);
    connect(DBGrid1, &ActiveConnectionsGrid::clientRequested, this, [this](const QString &code) {
        if (form2_)
            form2_->showClients({ClientSearch::Field::Code, code});
    });
}

void TForm1::setWindows(TForm2 *clientsAndLogs, TForm3 *adverts)
{
    form2_ = clientsAndLogs;
    form3_ = adverts;
}

QWidget *TForm1::buildPages()
{
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    DBGrid1 = new ActiveConnectionsGrid(context_.danni);
    PageControl1->addTab(DBGrid1, QStringLiteral("  АКТИВНІ ЗЄДНАННЯ  "));
    auto *requests = new RequestsPage(context_);
    PageControl1->addTab(requests, QStringLiteral("  ПОДАНІ  ЗАЯВКИ  "));
    auto *complaints = new ComplaintsPage(context_);
    PageControl1->addTab(complaints, QStringLiteral("  СКАРГИ  /  ПРОПОЗИЦІЇ  "));
    // "Показати в таблиці клієнтів" of both pages opens the clients table window.
    const auto showClients = [this](const ClientSearch &search) {
        if (form2_)
            form2_->showClients(search);
    };
    connect(requests, &RequestsPage::clientsRequested, this, showClients);
    connect(complaints, &ComplaintsPage::clientsRequested, this, showClients);
    settings_ = new SettingsPage(context_);
    settingsIndex_ = PageControl1->addTab(settings_, kSettingsCaption);

    auto *extra = new QTabWidget;
    extra->setObjectName(QStringLiteral("PageControl2"));
    news_ = new NewsPage(context_.news, context_.prompt);
    extra->addTab(news_, QStringLiteral("  НОВИНИ  "));
    PageControl1->addTab(extra, QStringLiteral("  ДОДАТКОВІ  ФУНКЦІЇ  "));
    return PageControl1;
}

QAction *TForm1::menuItem(QWidget *menu, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, menu);
    action->setObjectName(QString::fromLatin1(name));
    menu->addAction(action);
    return action;
}

void TForm1::buildMenu()
{
    QMenuBar *bar = menuBar();

    QMenu *server = bar->addMenu(QStringLiteral("СЕРВЕР"));
    server->menuAction()->setObjectName(QStringLiteral("N1"));
    N2 = menuItem(server, "N2", QStringLiteral("ЗАПУСТИТИ СЕРВЕР"));
    N5 = menuItem(server, "N5", QStringLiteral("ЗУПИНИТИ СЕРВЕР"));
    // Usable once start-up has opened the databases.
    N2->setEnabled(false);
    N5->setEnabled(false);
    connect(N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(N5, &QAction::triggered, this, &TForm1::N5Click);

    QMenu *excel = server->addMenu(QStringLiteral("Експорт в  Exel  ...."));
    excel->menuAction()->setObjectName(QStringLiteral("Exel1"));
    connect(menuItem(excel, "N11", QStringLiteral("Таблицю активних зєднань")), &QAction::triggered, this,
            &TForm1::N11Click);
    connect(menuItem(excel, "N12", QStringLiteral("Таблицю заявок")), &QAction::triggered, this, &TForm1::N12Click);
    connect(menuItem(excel, "N13", QStringLiteral("Таблицю скарг")), &QAction::triggered, this, &TForm1::N13Click);

    connect(menuItem(server, "N7", QStringLiteral("РОЗКЛАД РЕКЛАМИ")), &QAction::triggered, this,
            &TForm1::N7Click);
    connect(menuItem(server, "N17", QStringLiteral("ЛІЧИЛЬНИК АККАУНТІВ")), &QAction::triggered,
            this, &TForm1::N17Click);
    menuItem(server, "N15", QString(30, u'-'))->setEnabled(false);
    connect(menuItem(server, "N3", QStringLiteral("ВИХІД")), &QAction::triggered, this,
            &TForm1::close);

    QMenu *active = bar->addMenu(QStringLiteral("АКТИВНІ ЗЄДНАННЯ"));
    active->menuAction()->setObjectName(QStringLiteral("N4"));
    QMenu *deactivate = active->addMenu(QStringLiteral("ДЕАКТИВУВАТИ ..."));
    deactivate->menuAction()->setObjectName(QStringLiteral("N8"));
    connect(menuItem(deactivate, "N10", QStringLiteral("ВИБІРКУ КЛІЄНТІВ")), &QAction::triggered,
            this, &TForm1::N10Click);

    connect(menuItem(bar, "N6", QStringLiteral("ТАБЛИЦЯ КЛІЄНТІВ")), &QAction::triggered, this,
            &TForm1::N6Click);
    connect(menuItem(bar, "LOG1", QStringLiteral("LOG-файл підключення WEB SERVER  ")),
            &QAction::triggered, this, &TForm1::LOG1Click);
    connect(menuItem(bar, "LOGJAVAGPRSSERVER1",
                     QStringLiteral("LOG-файл підключення  JAVA/GPRS SERVER  ")),
            &QAction::triggered, this, &TForm1::LOGJAVAGPRSSERVER1Click);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (startUpScheduled_)
        return;
    startUpScheduled_ = true;
    // Let the window paint before start-up asks or reports anything.
    QTimer::singleShot(0, this, &TForm1::FormShow);
}

void TForm1::FormShow()
{
    switch (control_.StartUp()) {
    case ServerControl::StartUpResult::Ready:
        settings_->showLoadedSettings();
        // Without a product site the logo leads nowhere and says so by no hint.
        if (ProductSite(context_.settings).isEmpty())
            Panel19->logo()->setToolTip(QString());
        N2->setEnabled(true);
        N5->setEnabled(true);
        if (startServers_)
            N2Click();
        break;
    case ServerControl::StartUpResult::Close:
        // The failure has been shown: the program ends.
        exitStatus_ = 1;
        close();
        return;
    case ServerControl::StartUpResult::Restart:
        // The program starts again in this process once both databases are let go.
        restartRequested_ = true;
        close();
        return;
    }
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!control_.FormCloseQuery()) {
        event->ignore();
        return;
    }
    control_.FormClose();
    event->accept();
    emit closed(exitStatus_);
}

void TForm1::showRunning(bool running)
{
    Panel19->setCaption(running ? kRunningCaption : kStoppedCaption);
    // The stop puts the default advert back into the settings.
    if (!running)
        settings_->refresh();
}

void TForm1::setSettingsPageVisible(bool visible)
{
    const int index = PageControl1->indexOf(settings_);
    if (visible && index < 0)
        PageControl1->insertTab(settingsIndex_, settings_, kSettingsCaption);
    else if (!visible && index >= 0)
        PageControl1->removeTab(index);
}

void TForm1::N2Click() { control_.N2Click(); }

void TForm1::N5Click() { control_.N5Click(); }

void TForm1::N10Click() { control_.N10Click(); }

void TForm1::N6Click()
{
    if (form2_)
        form2_->showPage(TForm2::Page::TablKlient);
}

void TForm1::N11Click() { ExportGrid(context_, TDANI::Grid::Activ, &OpenExportedFile); }

void TForm1::N12Click() { ExportGrid(context_, TDANI::Grid::Zayavki, &OpenExportedFile); }

void TForm1::N13Click() { ExportGrid(context_, TDANI::Grid::Skarga, &OpenExportedFile); }

void TForm1::N7Click()
{
    if (form3_)
        form3_->showPage(TForm3::Page::Reklama);
}

void TForm1::N17Click()
{
    if (!context_.running()) {
        context_.prompt.message(QStringLiteral("Сервер не запущений"));
        return;
    }
    if (form3_)
        form3_->showPage(TForm3::Page::Licilnik);
}

void TForm1::LOG1Click()
{
    if (form2_)
        form2_->showPage(TForm2::Page::LogList);
}

void TForm1::LOGJAVAGPRSSERVER1Click()
{
    if (form2_)
        form2_->showPage(TForm2::Page::LogListJava);
}
