#include "common/service_lock.h"
#include "data/row_number.h"
#include "scripted_prompt.h"
#include "service_folder.h"
#include "shell/lifecycle_server_control.h"
#include "shell/service_context.h"
#include "web_framework/web_client.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::Any, 0);
    return probe.serverPort();
}

bool accepts(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket.waitForConnected(2000);
}

bool portFree(int port)
{
    QTcpServer probe;
    return probe.listen(QHostAddress::Any, quint16(port));
}

int indexOfLine(const QStringList &lines, const QString &suffix, int from = 0)
{
    for (int i = from; i < lines.size(); ++i)
        if (lines[i].endsWith(suffix))
            return i;
    return -1;
}

class LifecycleTest : public ::testing::Test {
protected:
    void start(const QString &extraSettings, bool headless = true)
    {
        folder.writeSettings(extraSettings);
        prompt.answers = {true};
        context = std::make_unique<ServiceContext>(folder.path(), prompt);
        control = std::make_unique<ServerControl>(*context, headless);
    }
    QString ports(bool mobileOn, const QString &javaMax = QStringLiteral("3"))
    {
        webPort = freePort();
        javaPort = freePort();
        return QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\nMAIN_TARIF=Стандарт\nKIL_LOG_POZ=5000\n"
                              "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=%3\nMAX_KIL_ZEDNAYA=%4\n")
            .arg(webPort)
            .arg(javaPort)
            .arg(mobileOn ? 0 : 1)
            .arg(javaMax);
    }

    kvtest::ServiceFolder folder{true};
    kvtest::ScriptedPrompt prompt;
    std::unique_ptr<ServiceContext> context;
    std::unique_ptr<ServerControl> control;
    int webPort = 0;
    int javaPort = 0;
};

TEST_F(LifecycleTest, FirstStartCreatesTheServiceDatabaseAndCarriesOnHeadless)
{
    start(ports(false));
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready) << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(prompt.questions, QStringList{QStringLiteral("СТВОРИТИ  БАЗУ  ДАННИХ [KORVANTIS_KLIENT.FDB]???")});
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"))));
    EXPECT_EQ(prompt.messages.value(0),
              QStringLiteral("БАЗА ДАНИХ НАЛАШТУВАНЬ WEB СЕРВІСА СТВОРЕНА. БУДЕ ПРОВЕДЕНО ПЕРЕЗАПУСК ПРОГРАМИ"));

    QFile progress(folder.filePath(QStringLiteral("PROCES_INSTAL_BAZA_KORVANTIS_KLIENT.TXT")));
    ASSERT_TRUE(progress.open(QIODevice::ReadOnly));
    const QByteArray text = progress.readAll();
    EXPECT_TRUE(text.contains("TABLE_REKLAMA"));
    EXPECT_TRUE(text.contains("IND_TABLE_KLIENT_KOD"));

    const QStringList log = context->webLog.lines();
    const int a = indexOfLine(log, QStringLiteral("]: Запуск програми Korvantes"));
    const int b = indexOfLine(log, QStringLiteral("]: Відкриття файла налаштувань [SETSERVER.INI]"), a);
    const int c = indexOfLine(log, QStringLiteral("]: Підключення до головної бази даних ..."), b);
    const int d = indexOfLine(log, QStringLiteral("]: Підключення до бази даних WEB сервіса ..."), c);
    EXPECT_TRUE(a == 0 && b > a && c > b && d > c) << log.join(u'\n').toStdString();
    EXPECT_EQ(context->danni.activeCount, QStringLiteral("0"));
}

TEST_F(LifecycleTest, WindowModeRestartsAfterCreationAndNoMeansClose)
{
    start(ports(false), false);
    EXPECT_EQ(control->StartUp(), ServerControl::StartUpResult::Restart);

    kvtest::ServiceFolder other;
    other.writeSettings();
    kvtest::ScriptedPrompt refusing;
    ServiceContext refused(other.path(), refusing);
    ServerControl refusedControl(refused, false);
    EXPECT_EQ(refusedControl.StartUp(), ServerControl::StartUpResult::Close);
    EXPECT_FALSE(QFile::exists(other.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"))));
    EXPECT_FALSE(QFile::exists(other.filePath(QStringLiteral("PROCES_INSTAL_BAZA_KORVANTIS_KLIENT.TXT"))));
}

TEST_F(LifecycleTest, MissingPasswordStopsBeforeAnyConnection)
{
    folder.writeSettings();
    QFile file(folder.filePath(QStringLiteral("SETSERVER.INI")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[SET_SERV]\nLOGIN=SYSDBA\nPASS=\n");
    file.close();
    ServiceContext ctx(folder.path(), prompt);
    ServerControl ctl(ctx, true);
    EXPECT_EQ(ctl.StartUp(), ServerControl::StartUpResult::Close);
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages[0].startsWith(
        QStringLiteral("Не вказаний логін і/або пароль сервера головної бази даних")));
}

TEST_F(LifecycleTest, StartAndStopBindAndReleaseBothPortsWithTheirReports)
{
    start(ports(true));
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    control->N2Click();
    ASSERT_TRUE(context->running()) << prompt.messages.join(u'\n').toStdString();
    EXPECT_EQ(context->panelCaption, QStringLiteral("СЕРВЕР ЗАПУЩЕНИЙ"));
    EXPECT_TRUE(accepts(webPort));
    EXPECT_TRUE(accepts(javaPort));
    for (int i = 0; i < 100 && context->accounts.values().scans != QStringLiteral("1"); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(context->accounts.values().scans, QStringLiteral("1"));  // the mobile connection above
    EXPECT_TRUE(context->ObjectCategories.contains(QStringLiteral("Вокзали")));
    EXPECT_FALSE(context->ObjectCategories.contains(QStringLiteral("не задано")));

    const QStringList web = context->webLog.lines();
    const int report = web.indexOf(QStringLiteral("**********************ЗАПУСК СЕРВЕРА*************************"));
    ASSERT_GT(report, 0);
    EXPECT_EQ(web[report + 2], QStringLiteral("Встановлення порта сервера: [%1]").arg(webPort));
    EXPECT_EQ(web[report + 3], QStringLiteral("Запуск сервера ..."));
    EXPECT_EQ(web[report + 5], QStringLiteral("Кількість активних зєднань :[0]"));
    EXPECT_EQ(web[report + 9], QString(61, u'*'));

    const QStringList mobile = context->mobileLog.lines();
    const QStringList expected{
        QStringLiteral("********************** JAVA SERVER ************************"),
        QStringLiteral("МАКСИМАЛЬНА КІЛЬКІСТЬ ДОЗВОЛЕНИХ КЛІЄНТІВ = 3"),
        QStringLiteral("ПОРТ СЕРВЕРА = %1").arg(javaPort),
        QStringLiteral("ЗАВАНТАЖЕННЯ ТАБЛИЦІ КЛІЄНТІВ ПРОЙШЛО УСПІШНО. ОК !"),
        QStringLiteral("JAVASERVERListen ..."), QStringLiteral("ЗАПУСК JAVA СЕРВЕРА. ОК !"), QString(61, u'*')};
    // The lines of the probing connection above follow.
    EXPECT_EQ(mobile.mid(0, expected.size()), expected);

    // A second start while running changes nothing.
    const int webLines = context->webLog.lineCount();
    const int mobileLines = context->mobileLog.lineCount();
    control->N2Click();
    EXPECT_EQ(context->webLog.lineCount(), webLines);
    EXPECT_EQ(context->mobileLog.lineCount(), mobileLines);

    EXPECT_FALSE(control->FormCloseQuery());
    EXPECT_EQ(prompt.messages.last(), QStringLiteral("НЕМАЄ МОЖЛИВОСТІ ЗАКРИТИ ПРОГРАМУ - ВКЛЮЧЕНІ РОЗДАЧИ "
                                                     "(потрібно спочатку обнулити роздачи)"));

    control->stopServers();
    EXPECT_FALSE(context->running());
    EXPECT_TRUE(portFree(webPort));
    EXPECT_TRUE(portFree(javaPort));
    const QStringList stopped = context->webLog.lines();
    EXPECT_GE(stopped.indexOf(QStringLiteral("----------------------ЗУПИНКА АККАУНТІВ----------------------")), 0);
    EXPECT_GE(stopped.indexOf(QStringLiteral("**********************ЗУПИНКА СЕРВЕРА************************")), 0);
    EXPECT_GE(context->mobileLog.lines().indexOf(
                  QStringLiteral("**********************ЗУПИНКА СЕРВЕРА JAVA************************")),
              0);
    EXPECT_TRUE(context->ObjectCategories.isEmpty());

    EXPECT_TRUE(control->FormCloseQuery());
    control->FormClose();
    const QStringList files = QDir(folder.filePath(QStringLiteral("LOG"))).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 2);
    EXPECT_EQ(context->webLog.lineCount(), 0);
}

TEST_F(LifecycleTest, TheMenusStopAsksOnlyWhileClientsAreConnected)
{
    start(ports(true));
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    prompt.questions.clear();
    control->N2Click();
    ASSERT_TRUE(context->running()) << prompt.messages.join(u'\n').toStdString();
    control->N5Click();
    EXPECT_FALSE(context->running()) << "nobody connected: stopped at once";
    EXPECT_TRUE(prompt.questions.isEmpty());

    control->N2Click();
    QTcpSocket phone;
    phone.connectToHost(QHostAddress::LocalHost, quint16(javaPort));
    ASSERT_TRUE(phone.waitForConnected(2000));
    for (int i = 0; i < 100 && context->accounts.values().scans != QStringLiteral("1"); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    kvtest::WebClient browser(webPort);
    ASSERT_EQ(browser.open().status, 200);
    const QString question = QStringLiteral("До сервера підключено телефонів: [1], web сесій: [1]. Зупинити сервер ?");
    for (const bool answer : {false, true}) {
        prompt.answers = {answer};
        control->N5Click();
        EXPECT_EQ(prompt.questions.takeLast(), question);
        EXPECT_EQ(context->running(), !answer);
    }
}

TEST_F(LifecycleTest, EqualPortsAreRefusedOnlyWhenTheMobileServerIsOn)
{
    const int port = freePort();
    const QString settings = QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\n[DOSTUP_JAVA]\nPORT_JAVA_SERVERA= %1 \n"
                                            "CLOSE_SERVER=%2\nMAX_KIL_ZEDNAYA=0\n");
    start(settings.arg(port).arg(0));
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    control->N2Click();
    EXPECT_FALSE(context->running());
    EXPECT_TRUE(prompt.messages.last().startsWith(
        QStringLiteral("Немає можливості запустити JAVA і WEB сервери, так як у них налаштовані однакові порти")));

    context->settings.CLOSE_SERVER = true;
    control->N2Click();
    EXPECT_TRUE(context->running());
    EXPECT_TRUE(context->mobileLog.lines().isEmpty());
    control->N5Click();
}

TEST_F(LifecycleTest, MobileTableOfZeroKeepsTheWebServerRunning)
{
    start(ports(true, QStringLiteral("нуль")));
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    control->N2Click();
    EXPECT_TRUE(context->running());
    EXPECT_FALSE(control->mobileActive());
    const QStringList expected{
        QStringLiteral("********************** JAVA SERVER ************************"),
        QStringLiteral("МАКСИМАЛЬНА КІЛЬКІСТЬ ДОЗВОЛЕНИХ КЛІЄНТІВ = нуль"),
        QStringLiteral("ПОРТ СЕРВЕРА = %1").arg(javaPort),
        QStringLiteral("ВИНИКЛИ ПОМИЛКИ У ЗАПУСКУ JAVA СЕРВЕРА !"),
        QStringLiteral("Неможливо запустити JAVA сервер на порту [%1] (максимальна кількість зєднань не є "
                       "додатним числом).")
            .arg(javaPort),
        QString(61, u'*')};
    EXPECT_EQ(context->mobileLog.lines(), expected);
    control->N5Click();
}

TEST_F(LifecycleTest, WebPortThatIsNotANumberLeavesTheServiceStoppedAndMendable)
{
    start(QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=80x\n"));
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    bool settingsVisible = true;
    QObject::connect(control.get(), &ServerControl::settingsPageVisible,
                     [&](bool visible) { settingsVisible = visible; });
    control->N2Click();
    EXPECT_FALSE(context->running());
    EXPECT_TRUE(settingsVisible);
    EXPECT_TRUE(prompt.messages.last().contains(QStringLiteral("[80x]")));
}

TEST_F(LifecycleTest, MinuteMarksComeEverySixtyTicksAndTheCounterWraps)
{
    start(ports(false));
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    const int before = context->webLog.lineCount();
    for (int i = 0; i < 59; ++i)
        control->Timer1Timer();
    EXPECT_EQ(context->webLog.lineCount(), before);
    control->Timer1Timer();
    EXPECT_EQ(context->webLog.lineCount(), before + 3);
    EXPECT_EQ(context->mobileLog.lineCount(), 3);
    EXPECT_TRUE(context->mobileLog.lines()[1].startsWith(QStringLiteral("TIME [")));
    EXPECT_TRUE(context->mobileLog.lines()[1].endsWith(QStringLiteral("] =================================")));

    while (control->tickCount() != 0)
        control->Timer1Timer();
    // 9960 was the last mark before the wrap after tick 10001.
    EXPECT_EQ(context->mobileLog.lineCount(), 3 * 166);
    for (int i = 0; i < 59; ++i)
        control->Timer1Timer();
    EXPECT_EQ(context->mobileLog.lineCount(), 3 * 166);
    control->Timer1Timer();
    EXPECT_EQ(context->mobileLog.lineCount(), 3 * 167);
}

class ServiceDatabaseTest : public LifecycleTest {
protected:
    void SetUp() override
    {
        start(ports(false));
        ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    }
    fb::Query &q() { return context->danni.GPRS_RIZNE; }
    int insertClient(const QString &code, const fb::Params &ban)
    {
        const QString sql = QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, "
                                           "TABLE_KLIENT_BAN, TABLE_KLIENT_DATBAN, TABLE_KLIENT_TIMEBAN) "
                                           "VALUES (%1, ?, ?, ?, ?)")
                                .arg(NextRowNumber(QStringLiteral("TABLE_KLIENT"), QStringLiteral("TABLE_KLIENT_NP")));
        fb::Params params{code};
        params.insert(params.end(), ban.begin(), ban.end());
        return TDANI::Execute(q(), sql, params);
    }
    QString banOf(const QString &code)
    {
        TDANI::Select(q(), QStringLiteral("SELECT TABLE_KLIENT_BAN, TABLE_KLIENT_DATBAN FROM TABLE_KLIENT "
                                          "WHERE TABLE_KLIENT_KOD = ?"),
                      {code});
        return q().field(0).asText() + u'|' + q().field(1).asText();
    }
};

TEST_F(ServiceDatabaseTest, BansAreLiftedOnlyOnceTheirMomentHasPassed)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    insertClient(QStringLiteral("1"), {"+", today.addDays(-1), QTime(23, 0, 0)});
    insertClient(QStringLiteral("2"), {"+", today, now.time().addSecs(-5)});
    // Skipped near midnight: the "later today" ban would otherwise fall on tomorrow.
    const bool laterToday = now.time() < QTime(23, 59, 0);
    if (laterToday)
        insertClient(QStringLiteral("3"), {"+", today, now.time().addSecs(50)});
    insertClient(QStringLiteral("4"), {"+", today.addDays(1), QTime(0, 0, 1)});

    ServiceLockGuard lock(ServiceLock());
    context->danni.ReleaseExpiredBans();
    EXPECT_EQ(banOf(QStringLiteral("1")), QStringLiteral("-|"));
    EXPECT_EQ(banOf(QStringLiteral("2")), QStringLiteral("-|"));
    if (laterToday) {
        EXPECT_EQ(banOf(QStringLiteral("3")), QStringLiteral("+|") + today.toString(QStringLiteral("dd.MM.yyyy")));
    }
    EXPECT_EQ(banOf(QStringLiteral("4")).left(1), QStringLiteral("+"));
}

TEST_F(ServiceDatabaseTest, AFailingBanReleaseIsRolledBackWholeAndToldOnce)
{
    const QDate yesterday = QDate::currentDate().addDays(-1);
    for (const char *code : {"1", "2", "3"})
        insertClient(QString::fromLatin1(code), {"+", yesterday, QTime(12, 0)});
    // The last lifting fails, after the others were made.
    TDANI::Execute(q(), QStringLiteral("CREATE EXCEPTION KV_STUCK 'stuck'"));
    const QString stuck = QStringLiteral("CREATE OR ALTER TRIGGER KV_STUCK FOR TABLE_KLIENT BEFORE UPDATE AS BEGIN "
                                         "IF (OLD.TABLE_KLIENT_KOD = '%1') THEN EXCEPTION KV_STUCK; END");
    TDANI::Execute(q(), stuck.arg(3));
    const auto minutes = [this](int count) {
        for (int i = 0; i < 60 * count; ++i)
            control->Timer1Timer();
    };
    const auto told = [this] { return prompt.messages.filter(QStringLiteral("Неможливо зняти бани")).size(); };
    prompt.messages.clear();

    minutes(3);
    EXPECT_EQ(told(), 1);
    for (const char *code : {"1", "2", "3"})
        EXPECT_EQ(banOf(QString::fromLatin1(code)).left(1), QStringLiteral("+")) << code;
    // Nothing half-done holds a row: the operator's edit goes through at once.
    EXPECT_EQ(TDANI::Execute(q(), QStringLiteral("UPDATE TABLE_KLIENT SET TABLE_KLIENT_TELEF = '067' "
                                                 "WHERE TABLE_KLIENT_KOD IN ('1', '2')")),
              2);

    // Once the bans are lifted, a new failure is told again.
    TDANI::Execute(q(), QStringLiteral("DROP TRIGGER KV_STUCK"));
    minutes(1);
    for (const char *code : {"1", "2", "3"})
        EXPECT_EQ(banOf(QString::fromLatin1(code)), QStringLiteral("-|")) << code;
    insertClient(QStringLiteral("4"), {"+", yesterday, QTime(12, 0)});
    TDANI::Execute(q(), stuck.arg(4));
    minutes(2);
    EXPECT_EQ(told(), 2);
    TDANI::Execute(q(), QStringLiteral("DROP TRIGGER KV_STUCK"));
}

TEST_F(ServiceDatabaseTest, RowNumbersAreOneMoreThanTheLargestAndReusedAtTheTop)
{
    const QString insert = QStringLiteral("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_KOD) VALUES (%1, ?)")
                               .arg(NextRowNumber(QStringLiteral("TABLE_ZAYAVKA"), QStringLiteral("TABLE_ZAYAVKA_NP")));
    const auto numbers = [&] {
        TDANI::Select(q(), QStringLiteral("SELECT TABLE_ZAYAVKA_NP FROM TABLE_ZAYAVKA ORDER BY 1"));
        QList<qint64> result;
        for (const auto &row : q().rows())
            result << std::get<qint64>(row[0]);
        return result;
    };
    for (const char *code : {"11", "12", "13"})
        TDANI::Execute(q(), insert, {code});
    EXPECT_EQ(numbers(), (QList<qint64>{1, 2, 3}));
    TDANI::Execute(q(), QStringLiteral("DELETE FROM TABLE_ZAYAVKA WHERE TABLE_ZAYAVKA_NP = ?"), {3});
    TDANI::Execute(q(), insert, {"14"});
    EXPECT_EQ(numbers(), (QList<qint64>{1, 2, 3}));
}

TEST_F(ServiceDatabaseTest, RefreshingAGridKeepsTheOperatorOnTheSameRowNumber)
{
    const QString insert = QStringLiteral("INSERT INTO TABLE_ZAYAVKA (TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_KOD) VALUES (%1, ?)")
                               .arg(NextRowNumber(QStringLiteral("TABLE_ZAYAVKA"), QStringLiteral("TABLE_ZAYAVKA_NP")));
    GridSnapshot last;
    QObject::connect(&context->danni, &TDANI::gridChanged, [&](TDANI::Grid grid, const GridSnapshot &rows) {
        if (grid == TDANI::Grid::Zayavki)
            last = rows;
    });
    ServiceLockGuard lock(ServiceLock());
    for (const char *code : {"21", "22", "23"})
        TDANI::Execute(q(), insert, {code});
    context->danni.RefreshGrid(TDANI::Grid::Zayavki);
    EXPECT_EQ(context->danni.requestCount, QStringLiteral("3"));
    context->danni.SelectRow(TDANI::Grid::Zayavki, 2);

    TDANI::Execute(q(), insert, {"24"});
    context->danni.RefreshGrid(TDANI::Grid::Zayavki);
    EXPECT_EQ(context->danni.requestCount, QStringLiteral("4"));
    EXPECT_EQ(context->danni.GPRS_TABL_ZAYAVKI.recNo(), 2);
    EXPECT_EQ(last.rows.size(), 4u);
    EXPECT_EQ(last.position, 2);
    EXPECT_EQ(last.columns.value(0), QStringLiteral("TABLE_ZAYAVKA_NP"));
}

TEST_F(ServiceDatabaseTest, ApostrophesReachEveryKindOfColumnUnchanged)
{
    const QString nasty = QStringLiteral("О'Брайєн' OR '1'='1");
    const QDate date(2026, 12, 9);
    const QTime time(18, 30, 5);
    TDANI::Execute(q(),
                   QStringLiteral("INSERT INTO TABLE_SKARGA (TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV, TABLE_SKARGA_DATA, "
                                  "TABLE_SKARGA_TIME, TABLE_SKARGA_KOD, TABLE_SKARGA_TELEF, TABLE_SKARGA_TEXT) "
                                  "VALUES (%1, ?, ?, ?, ?, ?, ?)")
                       .arg(NextRowNumber(QStringLiteral("TABLE_SKARGA"), QStringLiteral("TABLE_SKARGA_NP"))),
                   {"-", date, time, "1'2", "'", nasty});
    TDANI::Select(q(), QStringLiteral("SELECT * FROM TABLE_SKARGA WHERE TABLE_SKARGA_TEXT = ?"), {nasty});
    ASSERT_EQ(q().recordCount(), 1);
    EXPECT_EQ(q().field(QStringLiteral("TABLE_SKARGA_KOD")).asText(), QStringLiteral("1'2"));
    EXPECT_EQ(q().field(QStringLiteral("TABLE_SKARGA_TELEF")).asText(), QStringLiteral("'"));
    EXPECT_EQ(q().field(QStringLiteral("TABLE_SKARGA_DATA")).asText(), QStringLiteral("09.12.2026"));
    EXPECT_EQ(q().field(QStringLiteral("TABLE_SKARGA_TIME")).asText(), QStringLiteral("18:30:05"));

    // A value longer than its column simply matches nothing.
    TDANI::Select(q(), QStringLiteral("SELECT * FROM TABLE_SKARGA WHERE TABLE_SKARGA_KOD = ?"),
                  {QStringLiteral("1'2") + QString(40, u'9')});
    EXPECT_TRUE(q().isEmpty());

    // The complaints counter counts the unhandled one once the grid is refreshed.
    ServiceLockGuard lock(ServiceLock());
    context->danni.RefreshGrid(TDANI::Grid::Skarga);
    EXPECT_EQ(context->danni.complaintCount, QStringLiteral("1"));
}

TEST_F(ServiceDatabaseTest, ConnectionsLeftByAnEarlierRunAreGoneAfterStartUp)
{
    TDANI::Execute(q(), QStringLiteral("INSERT INTO TABLE_ACTIV (TABLE_ACTIV_NP, TABLE_ACTIV_IP, TABLE_ACTIV_ID) "
                                       "VALUES (1, '10.0.0.1', 'JAVA')"));
    context->danni.RefreshGrid(TDANI::Grid::Activ);
    EXPECT_EQ(context->danni.activeCount, QStringLiteral("1"));
    control.reset();
    context.reset();

    context = std::make_unique<ServiceContext>(folder.path(), prompt);
    control = std::make_unique<ServerControl>(*context, true);
    ASSERT_EQ(control->StartUp(), ServerControl::StartUpResult::Ready);
    EXPECT_EQ(context->danni.activeCount, QStringLiteral("0"));
    EXPECT_EQ(context->danni.GPRS_TABL_ACTIV.recordCount(), 0);
}

}  // namespace
