#include "common/rtf_reader.h"
#include "service_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

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
    return socket.waitForConnected(1000);
}

bool waitUntilAccepts(int port, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (accepts(port))
            return true;
        QThread::msleep(100);
    }
    return false;
}

QString savedLog(const QString &folder, const QString &suffix)
{
    const QStringList files =
        QDir(folder + QStringLiteral("/LOG")).entryList({QStringLiteral("*") + suffix}, QDir::Files);
    if (files.size() != 1)
        return QStringLiteral("<%1 files>").arg(files.size());
    QFile file(folder + QStringLiteral("/LOG/") + files[0]);
    return file.open(QIODevice::ReadOnly) ? RtfToPlainText(file.readAll()) : QString();
}

class Headless : public ::testing::Test {
protected:
    void run(const QString &settings)
    {
        folder.writeSettings(settings);
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral(KV_BINARY), {QStringLiteral("--headless")});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    void stop()
    {
        ::kill(pid_t(process.processId()), SIGTERM);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
    void TearDown() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    kvtest::ServiceFolder folder{true};
    QProcess process;
};

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

}  // namespace
