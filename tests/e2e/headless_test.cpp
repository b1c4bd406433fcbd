#include "headless_process.h"
#include "java_test_client.h"

#include "common/rtf_writer.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace kvtest;

using Headless = HeadlessTest;

TEST_F(Headless, CreatesItsDatabaseServesBothPortsAndSavesBothLogsOnSigterm)
{
    const int web = freePort();
    const int java = freePort();
    run(QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\n[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\n"
                       "MAX_KIL_ZEDNAYA=5\n")
            .arg(web)
            .arg(java));
    ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(waitUntilAccepts(java, 5));
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"))));
    stop();

    const QString webLog = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL.RTF"));
    for (const char *expected :
         {"]: Запуск програми Korvantes", "]: Відкриття файла налаштувань [SETSERVER.INI]",
          "]: Підключення до головної бази даних ...", "]: Підключення до бази даних WEB сервіса ...",
          "**********************ЗАПУСК СЕРВЕРА*************************",
          "----------------------ЗУПИНКА АККАУНТІВ----------------------",
          "**********************ЗУПИНКА СЕРВЕРА************************"})
        EXPECT_TRUE(webLog.contains(QString::fromUtf8(expected))) << expected << "\n" << webLog.toStdString();
    const QString mobileLog = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"));
    EXPECT_TRUE(mobileLog.contains(QStringLiteral("ЗАПУСК JAVA СЕРВЕРА. ОК !"))) << mobileLog.toStdString();
    EXPECT_TRUE(mobileLog.contains(QStringLiteral("**********************ЗУПИНКА СЕРВЕРА JAVA")));
    EXPECT_FALSE(accepts(web));
}

TEST_F(Headless, WithTheMobileServerClosedOnlyTheWebPortListens)
{
    const int web = freePort();
    const int java = freePort();
    run(QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\n[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=1\n")
            .arg(web)
            .arg(java));
    ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
    EXPECT_FALSE(accepts(java));
    stop();
}

TEST_F(Headless, FailedStartUpExitsNonZero)
{
    QFile::remove(folder.filePath(QStringLiteral("SETSERVER.INI")));
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(KV_BINARY), {QStringLiteral("--headless")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("Не найдено файл SETSERVER.INI для звязку з головною базою !!!")));
}

QString settingsWithPorts(int web, int java)
{
    return QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\n[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\n"
                          "MAX_KIL_ZEDNAYA=5\n")
        .arg(web)
        .arg(java);
}

TEST_F(Headless, NewsAreMadeAtStartHeldAndLoadedAgainOnSighup)
{
    const int web = freePort();
    const int java = freePort();
    run(settingsWithPorts(web, java));
    ASSERT_TRUE(waitUntilAccepts(java, 60)) << process.readAllStandardError().toStdString();
    JavaTestClient phone;
    ASSERT_TRUE(phone.connectTo(java));
    ASSERT_EQ(phone.answer(), QByteArray("<OK!>@"));
    const auto news = [&] {
        phone.send("<OpenNews>###");
        const QByteArray answer = phone.answer();
        return QString::fromUtf8(QByteArray::fromBase64(answer.mid(10, answer.indexOf("</DataNews>") - 10)));
    };
    EXPECT_EQ(news(), QStringLiteral("Вкажіть свої новини !!!\r\n"));
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("NEWS.rtf"))));

    ASSERT_TRUE(SaveRtf(folder.filePath(QStringLiteral("NEWS.rtf")), {QStringLiteral("Нові тарифи")}));
    EXPECT_EQ(news(), QStringLiteral("Вкажіть свої новини !!!\r\n")) << "the file is not read at every request";
    ::kill(pid_t(process.processId()), SIGHUP);
    QString reloaded;
    for (int attempt = 0; attempt < 100 && reloaded != QStringLiteral("Нові тарифи\r\n"); ++attempt)
        reloaded = news();
    EXPECT_EQ(reloaded, QStringLiteral("Нові тарифи\r\n"));
    stop();
}

// How the logs end when the LOG folder is missing (made) or cannot be made (told, and
// the exit says so).
struct LogFolderCase {
    const char *name;
    bool blocked;  // a file stands where the folder should be
};

class HeadlessLogFolder : public HeadlessTest, public ::testing::WithParamInterface<LogFolderCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, HeadlessLogFolder,
                         ::testing::Values(LogFolderCase{"Missing", false}, LogFolderCase{"Blocked", true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_P(HeadlessLogFolder, LogsAreSavedOrTheOperatorIsTold)
{
    ASSERT_TRUE(QDir(folder.filePath(QStringLiteral("LOG"))).removeRecursively());
    if (GetParam().blocked) {
        QFile blocker(folder.filePath(QStringLiteral("LOG")));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    const int web = freePort();
    run(settingsWithPorts(web, freePort()));
    ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    if (GetParam().blocked) {
        EXPECT_NE(process.exitCode(), 0);
        EXPECT_EQ(errors.count(QStringLiteral("Неможливо зберегти LOG-файл")), 2) << errors.toStdString();
    } else {
        EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
        EXPECT_TRUE(savedLog(folder.path(), QStringLiteral("_LOG_PIDKL.RTF")).contains(QStringLiteral("ЗУПИНКА СЕРВЕРА")));
        EXPECT_TRUE(savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF")).contains(QStringLiteral("JAVA")));
    }
}

TEST_F(Headless, ASecondCopyIsToldTheEnginesReason)
{
    const int web = freePort();
    run(settingsWithPorts(web, freePort()));
    ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
    QProcess second;
    second.setWorkingDirectory(folder.path());
    second.start(QStringLiteral(KV_BINARY), {QStringLiteral("--headless")});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_NE(second.exitCode(), 0);
    const QString errors = QString::fromUtf8(second.readAllStandardError());
    const QString designed = QStringLiteral("Після виправлення повторіть спробу !\n\n");
    const qsizetype at = errors.indexOf(designed);
    ASSERT_GE(at, 0) << errors.toStdString();
    EXPECT_FALSE(errors.mid(at + designed.size()).trimmed().isEmpty()) << errors.toStdString();
    stop();
}

TEST_F(Headless, AMobilePortInUseFailsTheStart)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::AnyIPv4, 0));
    run(settingsWithPorts(freePort(), taken.serverPort()));
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(QStringLiteral("Неможливо запустити JAVA сервер на порту [%1]").arg(taken.serverPort())));
}

TEST(Korvantis, HelpAndVersionNeedNoDisplay)
{
    for (const char *option : {"--help", "--version"}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(KV_BINARY), {QString::fromLatin1(option)});
        ASSERT_TRUE(process.waitForFinished(10000)) << option;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << option;
        EXPECT_EQ(process.exitCode(), 0) << option;
        EXPECT_TRUE(process.readAllStandardOutput().startsWith("korvantis") == (std::string(option) == "--version"))
            << option;
    }
}

}  // namespace
