#pragma once

// Running the real `korvantis --headless` in a service folder, for end-to-end tests.
// Header-only: the programs that use it link QtNetwork themselves.

#include "common/rtf_reader.h"
#include "service_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace kvtest {

// A port nobody listens on right now.
inline int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::Any, 0);
    return probe.serverPort();
}

inline bool accepts(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket.waitForConnected(1000);
}

inline bool waitUntilAccepts(int port, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (accepts(port))
            return true;
        QThread::msleep(100);
    }
    return false;
}

// The plain text of the one log file saved with `suffix` in the folder's LOG/.
inline QString savedLog(const QString &folder, const QString &suffix)
{
    const QStringList files =
        QDir(folder + QStringLiteral("/LOG")).entryList({QStringLiteral("*") + suffix}, QDir::Files);
    if (files.size() != 1)
        return QStringLiteral("<%1 files>").arg(files.size());
    QFile file(folder + QStringLiteral("/LOG/") + files[0]);
    return file.open(QIODevice::ReadOnly) ? RtfToPlainText(file.readAll()) : QString();
}

// A fixture with a service folder and the program running in it.
class HeadlessTest : public ::testing::Test {
protected:
    explicit HeadlessTest(bool demoCity = true) : folder(demoCity) {}

    void run(const QString &settings, const QString &databaseSettings = {})
    {
        folder.writeSettings(settings, databaseSettings);
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral(KV_BINARY), {QStringLiteral("--headless")});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // SIGTERM, as systemd stops the service: both servers stop and the logs are saved.
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

    ServiceFolder folder;
    QProcess process;
};

}  // namespace kvtest
