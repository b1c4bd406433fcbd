#include "shell/lifecycle_server_control.h"

#include "common/log_text.h"
#include "common/regional_format.h"
#include "common/service_lock.h"
#include "common/win1251.h"
#include "data/database_names.h"
#include "data/service_schema.h"
#include "mobile/mobile_server.h"
#include "route/online_distance.h"
#include "route/route_engine.h"
#include "shell/service_context.h"
#include "web/web_service.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

const QString kAsterisks(61, u'*');
// CHAS_OBNOVL_KLIENTIV when it is not a number.
constexpr int kDefaultClientListSeconds = 2;
// SET_FIRMA/MAX_ZAPYTIV_MARSHRUTU when it is not a number.
constexpr int kDefaultRoutePageWaits = 8;
const QString kBlank4 = QStringLiteral("    ");

QString bracketed(const QString &caption, const QString &value)
{
    return caption + u'[' + value + u']';
}

}  // namespace

ServerControl::ServerControl(ServiceContext &context, bool headless, QObject *parent)
    : QObject(parent), context_(context), headless_(headless),
      web_(std::make_unique<WebService>(context)),
      mobile_(std::make_unique<MobileServer>(context)),
      routes_(std::make_unique<RouteEngine>(context.danni, context.folder,
                                            [&context](const QString &rest) { context.webLog.event(rest); }))
{
    mobile_->setRouteEngine(*routes_);
    web_->setRouteEngine(*routes_);
    // The city is read at each calculation, under the lock: the route page gets the one
    // shown in the settings. The fetch itself runs without the lock.
    routes_->onlineDistance = [&context](const QString &start, const QString &destination) {
        return RouteEngine::OnlineFetch([host = context.settings.ROUTE_HOST, city = context.settings.MISTO, start,
                                         destination, &context](const FetchCancelled &cancelled) {
            return OnlineTripDistance(host, city, start, destination,
                                      [&context](const QString &rest) { context.webLog.event(rest); }, cancelled);
        });
    };
    // Guessing spread over many addresses is for the operator's eyes, on the main thread.
    connect(&context.budgets, &ClientBudgets::warning, this,
            [&context](const QString &text) { context.prompt.message(text); }, Qt::QueuedConnection);
    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &ServerControl::Timer1Timer);
    // Said once when a connection goes and once when it is back, in both logs: between
    // the two, requests that need that database fail at once.
    connect(&context.danni, &TDANI::connectionChanged, this,
            [&context](TDANI::Database database, bool connected, const QString &reason) {
                const QString name = database == TDANI::Database::Dispatch
                    ? QStringLiteral("головною базою даних")
                    : QStringLiteral("базою даних WEB сервіса");
                const QString line = connected
                    ? QStringLiteral("]: Зв'язок з %1 відновлено.").arg(name)
                    : QStringLiteral("]: Втрачено зв'язок з %1 (%2). Запити до неї отримують відмову, поки "
                                     "зв'язок не відновиться; нове підключення шукається кожні %3 с.")
                          .arg(name, QString(reason).replace(u'\n', u' '))
                          .arg(fb::kReconnectInterval.count());
                context.webLog.event(line);
                context.mobileLog.event(line);
            });
}

ServerControl::~ServerControl() = default;

int ServerControl::webPort() const { return web_->port(); }
bool ServerControl::mobileActive() const { return mobile_->isActive(); }
bool ServerControl::serversUp() const
{
    return context_.running() && (context_.settings.CLOSE_SERVER || mobile_->isActive());
}

void ServerControl::FormCreate()
{
    const QString problem = context_.news.load();
    if (!problem.isEmpty())
        context_.prompt.message(problem);
}

ServerControl::StartUpResult ServerControl::StartUp()
{
    ServiceLockGuard lock(ServiceLock());
    ServerSettings &s = context_.settings;
    context_.webLog.event(QStringLiteral("]: Запуск програми Korvantes"));
    StartUpResult result = StartUpResult::Ready;
    if (!LoadSettings(s, context_.folder, context_.prompt)) {
        result = StartUpResult::Close;
    } else {
        context_.webLog.event(QStringLiteral("]: Відкриття файла налаштувань [SETSERVER.INI]"));
        const bool opened = context_.danni.OpenDispatchBase(DispatchDatabaseName(s.SERVER, s.PATH_BAZA, s.NAME_BAZA),
                                                            {s.LOGIN, s.PASS}, context_.prompt, databaseWait());
        emit databaseClientStarted();
        if (!opened) {
            result = StartUpResult::Close;
        } else {
            context_.webLog.event(QStringLiteral("]: Підключення до головної бази даних ..."));
            if (!QFileInfo::exists(ServiceDatabaseName(context_.folder))) {
                emit creationPageShown();
                const Creation creation = createServiceDatabase();
                if (creation == Creation::NotAttempted)
                    result = StartUpResult::Close;
                else if (!headless_)
                    result = StartUpResult::Restart;
                // Headless mode has no window to restart: it carries on with the new database.
                else if (creation == Creation::Failed || !openServiceBase())
                    result = StartUpResult::Close;
            } else if (!openServiceBase()) {
                result = StartUpResult::Close;
            }
        }
    }
    timer1_.start();
    return result;
}

int ServerControl::databaseWait()
{
    const QString &text = context_.settings.CHAS_OCHIKUVANNYA_BAZY;
    const std::optional<int> seconds = ServerSettings::toInt(text);
    if (seconds && *seconds > 0)
        return *seconds;
    // Without a limit one silent network would stop everything: the default holds.
    if (text != reportedWait_) {
        reportedWait_ = text;
        context_.webLog.event(QStringLiteral("]: Невірно задано час очікування відповіді бази даних "
                                             "(SHLYAH_BAZA/CHAS_OCHIKUVANNYA_BAZY = [%1]); діє %2 с.")
                                  .arg(LogValue(text))
                                  .arg(TDANI::kDefaultWaitSeconds));
    }
    return TDANI::kDefaultWaitSeconds;
}

bool ServerControl::openServiceBase()
{
    const ServerSettings &s = context_.settings;
    if (!context_.danni.OpenServiceBase(ServiceDatabaseName(context_.folder), {s.LOGIN, s.PASS},
                                        context_.prompt, databaseWait()))
        return false;
    context_.webLog.event(QStringLiteral("]: Підключення до бази даних WEB сервіса ..."));
    return true;
}

ServerControl::Creation ServerControl::createServiceDatabase()
{
    const ServerSettings &s = context_.settings;
    if (s.LOGIN.isEmpty() || s.PASS.isEmpty()) {
        context_.prompt.message(QStringLiteral(
            "Неможливо створити базу налаштувань web сервіса, так як невірні або не задані "
            "LOGIN і/або PASS сервера. Після виправлення повторіть спробу !"));
        return Creation::NotAttempted;
    }
    if (!context_.prompt.question(QStringLiteral("СТВОРИТИ  БАЗУ  ДАННИХ [KORVANTIS_KLIENT.FDB]???")))
        return Creation::NotAttempted;

    QStringList progress{RegionalFormat::nowText()};
    emit creationProgress(progress);
    const QString path = ServiceDatabaseName(context_.folder);
    Creation result = Creation::Created;
    try {
        CreateServiceDatabase(path, {s.LOGIN, s.PASS}, [&](const QStringList &lines) {
            progress << lines;
            emit creationProgress(lines);
        });
    } catch (const fb::Error &error) {
        QFile::remove(path);
        progress << error.text();
        context_.prompt.message(QStringLiteral(
            "Помилка у створенні бази даних [KORVANTIS_KLIENT.FDB]. Перевірте чи відповідайють "
            "налаштування файла [SETSERVER.INI] дійсним налаштуванням !\n\n") + error.text());
        result = Creation::Failed;
    }
    if (result == Creation::Created)
        context_.prompt.message(QStringLiteral(
            "БАЗА ДАНИХ НАЛАШТУВАНЬ WEB СЕРВІСА СТВОРЕНА. БУДЕ ПРОВЕДЕНО ПЕРЕЗАПУСК ПРОГРАМИ"));

    QFile file(QDir(context_.folder).filePath(QStringLiteral("PROCES_INSTAL_BAZA_KORVANTIS_KLIENT.TXT")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(win1251::fromUnicode(progress.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    return result;
}

void ServerControl::N2Click()
{
    ServerSettings &s = context_.settings;
    if (!s.CLOSE_SERVER && s.PORT_WEB_SERVERA.trimmed() == s.PORT_JAVA_SERVERA.trimmed()) {
        context_.prompt.message(QStringLiteral(
            "Немає можливості запустити JAVA і WEB сервери, так як у них налаштовані однакові "
            "порти підключення !!! Після зміни повторіть спробу."));
        return;
    }
    if (context_.running())
        return;
    ServiceLockGuard lock(ServiceLock());

    try {
        TDANI::Select(context_.danni.RIZNE,
                      QStringLiteral("SELECT KOORD_KART_MISTA_STATUS FROM KARTA_MISTA\n"
                                     "WHERE (KOORD_KART_MISTA_STATUS IS NOT NULL) AND "
                                     "(KOORD_KART_MISTA_STATUS<>'не задано')\n"
                                     "GROUP BY KOORD_KART_MISTA_STATUS"));
        QStringList categories;
        for (const auto &row : context_.danni.RIZNE.rows())
            categories << fb::valueText(row.at(0));
        context_.danni.RIZNE.close();
        context_.ObjectCategories = categories;
    } catch (const fb::Error &error) {
        context_.prompt.message(error.text());
        return;
    }

    context_.accounts.resetAtStart();
    routes_->SetRoutePageWaits(
        context_.numbers.read("SET_FIRMA/MAX_ZAPYTIV_MARSHRUTU", s.MAX_ZAPYTIV_MARSHRUTU, kDefaultRoutePageWaits));
    startClientList();
    if (s.DOZVIL_POCHATK_ROZR_SUMA) {
        try {
            routes_->LoadCityMap();
        } catch (const fb::Error &error) {
            // Nothing is started yet: the operator sees why and may try again.
            context_.danni.clientList.stop();
            context_.ObjectCategories.clear();
            context_.prompt.message(error.text());
            return;
        }
    }
    emit settingsPageVisible(false);
    context_.startOnMaintenance = s.ZAGRUZKA_REMONT_ROBIT;

    const std::optional<int> port = ServerSettings::toInt(s.PORT_WEB_SERVERA);
    QString error = QStringLiteral("номер порта не є цілим числом");
    if (!port || !web_->start(*port, &error)) {
        abortStart(QStringLiteral("Неможливо запустити WEB сервер на порту [%1] (%2). Після "
                                  "виправлення повторіть спробу.")
                       .arg(s.PORT_WEB_SERVERA, error));
        return;
    }
    if (!headless_)
        emit openUrl(QUrl(QStringLiteral("http://localhost:%1/zakaz").arg(*port)));

    writeStartReport();
    context_.panelCaption = kRunningCaption;
    context_.currentAdvert = 0;
    emit runningChanged(true);
    if (s.CLOSE_SERVER)
        return;
    const QString mobileFailure = startMobileServer();
    // The window shows the mobile log; headless mode has nobody looking at it.
    if (headless_ && !mobileFailure.isEmpty())
        context_.prompt.message(mobileFailure);
}

void ServerControl::startClientList()
{
    const ServerSettings &s = context_.settings;
    const int seconds =
        context_.numbers.read("SHLYAH_BAZA/CHAS_OBNOVL_KLIENTIV", s.CHAS_OBNOVL_KLIENTIV, kDefaultClientListSeconds);
    if (seconds <= 0)
        return;
    context_.danni.clientList.start(
        TDANI::DispatchParams(DispatchDatabaseName(s.SERVER, s.PATH_BAZA, s.NAME_BAZA), {s.LOGIN, s.PASS},
                              databaseWait()),
        std::chrono::seconds(seconds), [&context = context_](const QString &line) { context.webLog.event(line); });
}

void ServerControl::abortStart(const QString &reason)
{
    // Back to the stopped state with the settings page open, so the port can be mended.
    context_.danni.clientList.stop();
    if (context_.settings.DOZVIL_POCHATK_ROZR_SUMA)
        routes_->ReleaseCityMap();
    context_.ObjectCategories.clear();
    emit settingsPageVisible(true);
    context_.webLog.event(QStringLiteral("]: ") + reason);
    context_.prompt.message(reason);
}

void ServerControl::writeStartReport()
{
    const ServerSettings &s = context_.settings;
    const TDANI &d = context_.danni;
    QStringList lines{kBlank4,
                      QStringLiteral("**********************ЗАПУСК СЕРВЕРА*************************"),
                      bracketed(QStringLiteral("Дата запуска :"), context_.accounts.values().startTime),
                      bracketed(QStringLiteral("Встановлення порта сервера: "), s.PORT_WEB_SERVERA),
                      QStringLiteral("Запуск сервера ...")};
    if (s.DOZVIL_POCHATK_ROZR_SUMA)
        lines << QStringLiteral("Загрузка списка перехресть і групованих вулиць ...");
    lines << kBlank4 << bracketed(QStringLiteral("Кількість активних зєднань :"), d.activeCount)
          << bracketed(QStringLiteral("Кількість кодованих зєднань (клієнтів з підтвердженим кодом) :"),
                       d.codedCount)
          << bracketed(QStringLiteral("Кількість поданих заявок :"), d.requestCount)
          << bracketed(QStringLiteral("Кількість поданих скарг :"), d.complaintCount) << kAsterisks
          << kBlank4;
    context_.webLog.append(lines);
}

QString ServerControl::startMobileServer()
{
    const ServerSettings &s = context_.settings;
    OperatorLog &log = context_.mobileLog;
    mobile_->deactivate();
    log.append(QStringLiteral("********************** JAVA SERVER ************************"));
    const int size = ServerSettings::toInt(s.JAVA_MAX_KIL_ZEDNAYA).value_or(0);
    log.append(QStringLiteral("МАКСИМАЛЬНА КІЛЬКІСТЬ ДОЗВОЛЕНИХ КЛІЄНТІВ = ") + s.JAVA_MAX_KIL_ZEDNAYA);
    log.append(QStringLiteral("ПОРТ СЕРВЕРА = ") + s.PORT_JAVA_SERVERA);
    QString reason;
    if (size > 0) {
        mobile_->resetTable(size);
        log.append(QStringLiteral("ЗАВАНТАЖЕННЯ ТАБЛИЦІ КЛІЄНТІВ ПРОЙШЛО УСПІШНО. ОК !"));
        const std::optional<int> port = ServerSettings::toInt(s.PORT_JAVA_SERVERA);
        if (!port || *port <= 0 || *port > 65535)
            reason = QStringLiteral("номер порта не є числом від 1 до 65535");
        else if (!mobile_->activate(quint16(*port)))
            reason = mobile_->errorString();
    } else {
        reason = QStringLiteral("максимальна кількість зєднань не є додатним числом");
    }
    if (reason.isEmpty()) {
        log.append({QStringLiteral("ЗАПУСК JAVA СЕРВЕРА. ОК !"), kAsterisks});
        return {};
    }
    // The window's operator reads why in the mobile log.
    const QString failure =
        QStringLiteral("Неможливо запустити JAVA сервер на порту [%1] (%2).").arg(s.PORT_JAVA_SERVERA, reason);
    log.append({QStringLiteral("ВИНИКЛИ ПОМИЛКИ У ЗАПУСКУ JAVA СЕРВЕРА !"), failure, kAsterisks});
    return failure;
}

void ServerControl::N5Click()
{
    if (!context_.running())
        return;
    const int sessions = web_->application().sessionCount();
    const int phones = mobile_->connectionCount();
    // No lock is held while the operator thinks it over.
    if ((phones > 0 || sessions > 0)
        && !context_.prompt.question(
            QStringLiteral("До сервера підключено телефонів: [%1], web сесій: [%2]. Зупинити сервер ?")
                .arg(phones)
                .arg(sessions)))
        return;
    stopServers();
}

void ServerControl::stopServers()
{
    if (!context_.running())
        return;
    // Page handlers may be waiting for the service lock: the web listener waits for
    // them, so it stops before the lock is taken; a handler waiting for the route page
    // is let go at once. Sessions end at their place below.
    routes_->CancelFetches(true);
    web_->stopListening();
    routes_->CancelFetches(false);
    // The reader takes no lock, but may be making its connection: it is not waited for
    // with the lock held.
    context_.danni.clientList.stop();
    ServiceLockGuard lock(ServiceLock());
    const ServerSettings &s = context_.settings;
    if (s.DOZVIL_POCHATK_ROZR_SUMA)
        routes_->ReleaseCityMap();

    const AccountCounters::Values a = context_.accounts.values();
    context_.webLog.append(QStringList{
        QStringLiteral("  "), kAsterisks,
        QStringLiteral("----------------------ЗУПИНКА АККАУНТІВ----------------------"),
        QStringLiteral("  "), QStringLiteral("Сервер був запущений : ") + a.startTime,
        QStringLiteral("Кількість сканувань порта роздач : ") + a.scans, QStringLiteral("  "),
        QStringLiteral("Кількість входів в меню швидкого замовлення : ") + a.quickEntries,
        QStringLiteral("Дата і час останнього входу : ") + a.quickLast, QStringLiteral("  "),
        QStringLiteral("Кількість входів кодованих клієнтів : ") + a.codedEntries,
        QStringLiteral("Дата і час останнього входу : ") + a.codedLast, QStringLiteral("  "),
        QStringLiteral("Кількість входів в новини : ") + a.newsEntries,
        QStringLiteral("Дата і час останнього входу : ") + a.newsLast, QStringLiteral("  "),
        kAsterisks});

    emit settingsPageVisible(true);
    web_->stop();
    context_.ObjectCategories.clear();
    writeStopReports();
    context_.panelCaption = kStoppedCaption;
    RestoreDefaultAdvert(context_.settings, context_.folder);
    emit runningChanged(false);

    if (mobile_->isActive()) {
        mobile_->closeAllConnections();
        mobile_->deactivate();
    }
}

void ServerControl::writeStopReports()
{
    const TDANI &d = context_.danni;
    const QString now = RegionalFormat::nowText();
    context_.webLog.append(QStringList{
        kBlank4, QStringLiteral("**********************ЗУПИНКА СЕРВЕРА************************"),
        bracketed(QStringLiteral("Дата зупинки :"), now), QStringLiteral("Зупинка сервера ..."),
        kBlank4, bracketed(QStringLiteral("Кількість активних зєднань :"), d.activeCount),
        bracketed(QStringLiteral("Кількість кодованих зєднань (клієнтів з підтвердженим кодом) :"),
                  d.codedCount),
        bracketed(QStringLiteral("Кількість поданих заявок :"), d.requestCount),
        bracketed(QStringLiteral("Кількість поданих скарг :"), d.complaintCount), kAsterisks, kBlank4});
    context_.mobileLog.append(QStringList{
        kBlank4, QStringLiteral("**********************ЗУПИНКА СЕРВЕРА JAVA************************"),
        bracketed(QStringLiteral("Дата зупинки :"), now), QStringLiteral("Зупинка сервера ..."),
        kBlank4,
        bracketed(QStringLiteral("Кількість активних зєднань :"),
                  QString::number(mobile_->connectionCount())),
        bracketed(QStringLiteral("Кількість поданих заявок :"), d.requestCount),
        bracketed(QStringLiteral("Кількість поданих скарг :"), d.complaintCount), kAsterisks, kBlank4});
}

void ServerControl::N10Click()
{
    {
        ServiceLockGuard lock(ServiceLock());
        if (context_.danni.GPRS_TABL_ACTIV.recordCount() < 1)
            return;
    }
    // The web pages keep working while the operator thinks it over.
    if (!context_.prompt.question(QStringLiteral("ДЕАКТИВУВАТИ  ВИБІРКУ  КЛІЄНТІВ  ???")))
        return;
    ServiceLockGuard lock(ServiceLock());
    web_->endAllSessions();
    if (mobile_->isActive())
        mobile_->closeAllConnections();
}

void ServerControl::Timer1Timer()
{
    ++tick_;
    if (tick_ % 60 == 0) {
        const QStringList mark{QStringLiteral("  "),
                               QStringLiteral("TIME [") + RegionalFormat::nowText()
                                   + QStringLiteral("] ================================="),
                               QStringLiteral("  ")};
        context_.webLog.append(mark);
        context_.mobileLog.append(mark);
        context_.webLog.saveIfFull();
        context_.mobileLog.saveIfFull();
        releaseExpiredBans();
    }
    if (tick_ > 10000)
        tick_ = 0;
}

void ServerControl::releaseExpiredBans()
{
    QString failure;
    {
        ServiceLockGuard lock(ServiceLock());
        try {
            context_.danni.ReleaseExpiredBans();
        } catch (const fb::Error &error) {
            failure = error.text();
        }
    }
    if (failure.isEmpty()) {
        banFailureTold_ = false;
        return;
    }
    // Tried again every minute: a lasting failure is told once, not by a box a minute.
    if (std::exchange(banFailureTold_, true))
        return;
    context_.prompt.message(QStringLiteral("Неможливо зняти бани клієнтів, час яких минув (%1). Спроби "
                                           "повторюються щохвилини; про наступні невдачі не повідомляється, доки "
                                           "бани не знімуться.")
                                .arg(QString(failure).replace(u'\n', u' ')));
}

bool ServerControl::FormCloseQuery()
{
    if (!context_.running())
        return true;
    context_.prompt.message(QStringLiteral("НЕМАЄ МОЖЛИВОСТІ ЗАКРИТИ ПРОГРАМУ - ВКЛЮЧЕНІ РОЗДАЧИ "
                                           "(потрібно спочатку обнулити роздачи)"));
    return false;
}

bool ServerControl::FormClose()
{
    QStringList failures;
    for (OperatorLog *log : {&context_.webLog, &context_.mobileLog})
        if (!log->saveNow())
            failures << log->saveError();
    if (failures.isEmpty())
        return true;
    // Said now, before the process ends with the lines.
    context_.prompt.message(failures.join(u'\n') + QStringLiteral("\nРядки цих LOG-листів втрачено."));
    return false;
}
