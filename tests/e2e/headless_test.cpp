#include "headless_process.h"
#include "java_test_client.h"

#include "common/extract_between.h"
#include "common/rtf_writer.h"

#include <QDir>
#include <QFile>

#include <QProcessEnvironment>

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
    // A phone connected at the stop: SIGTERM stops without asking anybody.
    JavaTestClient phone;
    ASSERT_TRUE(phone.connectTo(java));
    EXPECT_TRUE(phone.answer().startsWith("<OK!>"));
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

    // What the journal shows: each line of both logs, as it was logged, named by its log.
    const QStringList said = QString::fromUtf8(process.readAllStandardError()).split(u'\n');
    for (const QString &line : webLog.split(u'\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(said.contains(QStringLiteral("web: ") + line)) << line.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("mobile: ЗАПУСК JAVA СЕРВЕРА. ОК !")));
    EXPECT_FALSE(said.join(u'\n').contains(QStringLiteral("Зупинити сервер ?")));
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

// A fresh folder without LOG/ and NEWS.rtf: both are made, the news are held and loaded
// again on SIGHUP, and a second copy is told why it cannot start.
TEST_F(Headless, AFreshFolderGetsItsNewsAndLogsAndASecondCopyIsToldWhy)
{
    ASSERT_TRUE(QDir(folder.filePath(QStringLiteral("LOG"))).removeRecursively());
    const int java = freePort();
    run(settingsWithPorts(freePort(), java));
    ASSERT_TRUE(waitUntilAccepts(java, 60)) << process.readAllStandardError().toStdString();
    JavaTestClient phone;
    ASSERT_TRUE(phone.connectTo(java));
    ASSERT_EQ(phone.answer(), QByteArray("<OK!>@"));
    const auto news = [&] {
        phone.send("<OpenNews>###");
        return QString::fromUtf8(QByteArray::fromBase64(ExtractBetween(phone.answer(), QByteArray("<DataNews>"),
                                                                       QByteArray("</DataNews>"))));
    };
    EXPECT_EQ(news(), QStringLiteral("Вкажіть свої новини !!!\r\n"));
    ASSERT_TRUE(SaveRtf(folder.filePath(QStringLiteral("NEWS.rtf")), {QStringLiteral("Нові тарифи")}));
    EXPECT_EQ(news(), QStringLiteral("Вкажіть свої новини !!!\r\n")) << "the file is not read at every request";
    ::kill(pid_t(process.processId()), SIGHUP);
    QString reloaded;
    for (int attempt = 0; attempt < 100 && reloaded != QStringLiteral("Нові тарифи\r\n"); ++attempt)
        reloaded = news();
    EXPECT_EQ(reloaded, QStringLiteral("Нові тарифи\r\n"));

    QProcess second;
    second.setWorkingDirectory(folder.path());
    second.start(QStringLiteral(KV_BINARY), {QStringLiteral("--headless")});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_NE(second.exitCode(), 0);
    const QStringList said = QString::fromUtf8(second.readAllStandardError())
                                 .split(QStringLiteral("Після виправлення повторіть спробу !\n\n"));
    EXPECT_FALSE(said.value(1).trimmed().isEmpty()) << "the engine's reason follows the designed text";

    stop();
    // Both logs of each copy, in the folder made for them.
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("LOG"))).entryList({QStringLiteral("*.RTF")}, QDir::Files).size(), 4);
}

// A hang-up of the terminal that started the window (an SSH session closed) loads the news
// again, as in headless mode, instead of ending the program with both logs lost.
TEST_F(Headless, TheWindowProgramReloadsTheNewsOnAHangUp)
{
    folder.createServiceDatabase({});
    const int java = freePort();
    folder.writeSettings(settingsWithPorts(freePort(), java));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(KV_BINARY), {QStringLiteral("--start")});
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(waitUntilAccepts(java, 60)) << process.readAllStandardError().toStdString();
    ASSERT_TRUE(SaveRtf(folder.filePath(QStringLiteral("NEWS.rtf")), {QStringLiteral("Нові тарифи")}));
    ::kill(pid_t(process.processId()), SIGHUP);
    JavaTestClient phone;
    ASSERT_TRUE(phone.connectTo(java));
    ASSERT_EQ(phone.answer(), QByteArray("<OK!>@"));
    QString news;
    for (int attempt = 0; attempt < 100 && news != QStringLiteral("Нові тарифи\r\n"); ++attempt) {
        phone.send("<OpenNews>###");
        news = QString::fromUtf8(
            QByteArray::fromBase64(ExtractBetween(phone.answer(), QByteArray("<DataNews>"), QByteArray("</DataNews>"))));
    }
    EXPECT_EQ(news, QStringLiteral("Нові тарифи\r\n"));
    stop();  // a program the hang-up had ended would not stop normally here
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("LOG"))).entryList({QStringLiteral("*.RTF")}, QDir::Files).size(), 2);
}

TEST_F(Headless, LogsThatCannotBeSavedAreToldAndFailTheExit)
{
    ASSERT_TRUE(QDir(folder.filePath(QStringLiteral("LOG"))).removeRecursively());
    QFile blocker(folder.filePath(QStringLiteral("LOG")));  // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const int web = freePort();
    run(settingsWithPorts(web, freePort()));
    ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()).count(QStringLiteral("Неможливо зберегти LOG-файл")), 2);
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
        process.setProcessEnvironment(QProcessEnvironment());  // no display of any kind
        process.start(QStringLiteral(KV_BINARY), {QString::fromLatin1(option)});
        ASSERT_TRUE(process.waitForFinished(10000)) << option;
        EXPECT_EQ(process.exitCode(), 0) << option;
        EXPECT_TRUE(process.readAllStandardOutput().startsWith(option[2] == 'v' ? "korvantis" : "Usage")) << option;
    }
}

}  // namespace
