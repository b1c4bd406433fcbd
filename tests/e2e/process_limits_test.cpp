// The real program against the limits of its process: too few descriptors for its
// clients, and a file-size limit its log cannot be saved under.

#include "headless_process.h"
#include "java_test_client.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace kvtest;

// How many of the descriptors 0 .. limit-1 the process holds: all of them, and it can open
// no more.
int descriptorsBelow(qint64 pid, int limit)
{
    int held = 0;
    for (const QString &fd : QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::Files | QDir::System))
        held += fd.toInt() < limit ? 1 : 0;
    return held;
}

// The CPU time the process has used so far, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command name in brackets (which may hold blanks), from the
    // state on: user and system time are the 12th and 13th.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) / double(::sysconf(_SC_CLK_TCK));
}

// "Max open files" of the process: the soft limit.
QString softDescriptorLimit(qint64 pid)
{
    QFile limits(QStringLiteral("/proc/%1/limits").arg(pid));
    if (!limits.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : limits.readAll().split('\n'))
        if (line.startsWith("Max open files"))
            return QString::fromLatin1(line.mid(26).simplified().split(' ').value(0));
    return {};
}

class ProcessLimits : public HeadlessTest {
protected:
    ProcessLimits() : HeadlessTest(false) {}

    void SetUp() override
    {
        CopyNewServiceDatabase(folder.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB")));
        process.setStandardErrorFile(folder.filePath(QStringLiteral("stderr.txt")));
    }
    QString said() const
    {
        QFile file(folder.filePath(QStringLiteral("stderr.txt")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // A connection to the web port that has asked GET /health.
    void ask(QTcpSocket &socket) const
    {
        socket.connectToHost(QHostAddress::LocalHost, quint16(web));
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write("GET /health HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n");
        socket.waitForBytesWritten(1000);
    }
    static bool answered(QTcpSocket &socket, int milliseconds)
    {
        QByteArray answer;
        QElapsedTimer clock;
        clock.start();
        while (!answer.contains("\"servers\"") && clock.elapsed() < milliseconds
               && socket.waitForReadyRead(int(milliseconds - clock.elapsed())))
            answer += socket.readAll();
        return answer.startsWith("HTTP/1.1 200");
    }
    bool pageServed(int milliseconds)
    {
        QTcpSocket socket;
        ask(socket);
        return answered(socket, milliseconds);
    }

    const int web = freePort();
    const int java = freePort();
};

TEST_F(ProcessLimits, OutOfDescriptorsNeitherServerSpinsAndBothRecover)
{
    constexpr int kLimit = 200;
    // Started as a shell or systemd would start it, but with a low hard limit.
    process.setChildProcessModifier([] {
        const rlimit limit{64, rlim_t(kLimit)};
        ::setrlimit(RLIMIT_NOFILE, &limit);
    });
    run(QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\n[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\n"
                       "MAX_KIL_ZEDNAYA=1000\n")
            .arg(web)
            .arg(java));
    ASSERT_TRUE(waitUntilAccepts(web, 60)) << said().toStdString();
    const qint64 pid = process.processId();
    EXPECT_EQ(softDescriptorLimit(pid), QString::number(kLimit)) << "raised to the hard limit at start";
    ASSERT_TRUE(pageServed(5000));

    // Phones from as many addresses take every descriptor that is left, and more.
    const int free = kLimit - descriptorsBelow(pid, kLimit);
    std::vector<std::unique_ptr<QTcpSocket>> phones;
    for (int i = 0; i < free + 20; ++i) {
        auto phone = std::make_unique<QTcpSocket>();
        phone->bind(QHostAddress(QStringLiteral("127.0.%1.%2").arg(10 + i / 200).arg(1 + i % 200)));
        phone->connectToHost(QHostAddress::LocalHost, quint16(java));
        ASSERT_TRUE(phone->waitForConnected(5000)) << i;
        phones.push_back(std::move(phone));
    }
    // The mobile server tells that it can take no more.
    const QString refused = QStringLiteral("ПОМИЛКА JAVA СЕРВЕРА: нові зєднання не приймаються");
    QElapsedTimer clock;
    clock.start();
    while (!said().contains(refused) && clock.elapsed() < 20000)
        QThread::msleep(50);
    ASSERT_EQ(descriptorsBelow(pid, kLimit), kLimit) << "none left";

    // A browser's request waits; meanwhile the program does next to nothing.
    QTcpSocket browser;
    ask(browser);
    const double before = cpuSeconds(pid);
    QThread::sleep(3);
    const double used = cpuSeconds(pid) - before;
    RecordProperty("cpu_seconds_in_3s_without_descriptors", QString::number(used).toStdString());
    EXPECT_LT(used, 1.0) << "a loop that spins uses the 3 s whole";
    EXPECT_EQ(said().count(refused), 1) << "told once, not at every try";
    EXPECT_EQ(said().count(QStringLiteral("] ПОМИЛКА WEB СЕРВЕРА: нові зєднання не приймаються")), 1);

    // Descriptors come back: the waiting browser is answered, phones are greeted again.
    phones.clear();
    EXPECT_TRUE(answered(browser, 10000));
    JavaTestClient phone;
    ASSERT_TRUE(phone.connectTo(java, QStringLiteral("127.0.20.1")));
    EXPECT_EQ(phone.answer(), QByteArray("<OK!>@"));
    EXPECT_EQ(said().count(QStringLiteral("] JAVA СЕРВЕР знову приймає зєднання.")), 1);
    EXPECT_EQ(said().count(QStringLiteral("] WEB СЕРВЕР знову приймає зєднання.")), 1);

    // Unfinished web requests that take every descriptor make room for a whole one.
    std::vector<std::unique_ptr<QTcpSocket>> trickling;
    for (int i = 0; i < kLimit; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(QStringLiteral("127.0.30.%1").arg(1 + i % 4)));
        socket->connectToHost(QHostAddress::LocalHost, quint16(web));
        ASSERT_TRUE(socket->waitForConnected(5000)) << i;
        socket->write("GET /health HTTP/1.1\r\n");
        trickling.push_back(std::move(socket));
    }
    EXPECT_TRUE(pageServed(3000));
    stop();
}

TEST_F(ProcessLimits, ALogTooLargeForTheFileSizeLimitStaysInMemoryAndTheProgramGoesOn)
{
    // Above the program's databases (2 MB), below what 15,000 lines of the log take.
    constexpr rlim_t kLimit = 5 << 19;
    process.setChildProcessModifier([] {
        const rlimit limit{kLimit, kLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_DFL);  // as a service manager leaves it
    });
    run(QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\n[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\n"
                       "MAX_KIL_ZEDNAYA=5\nKIL_LOG_POZ=15000\n")
            .arg(web)
            .arg(java));
    ASSERT_TRUE(waitUntilAccepts(java, 60)) << said().toStdString();
    JavaTestClient phone;
    ASSERT_TRUE(phone.connectTo(java));
    ASSERT_EQ(phone.answer(), QByteArray("<OK!>@"));
    // Each request writes a line into the mobile log: 15,000 of them are more than the limit.
    constexpr int kBatch = 500;
    for (int sent = 0; sent < 16000; sent += kBatch) {
        QByteArray batch;
        for (int i = 0; i < kBatch; ++i)
            batch += "<OpenSettingServer>###";
        phone.send(batch);
        for (int i = 0; i < kBatch; ++i)
            ASSERT_TRUE(phone.answer().startsWith("<OtvetSettingServer>")) << sent + i;
    }
    ASSERT_EQ(process.state(), QProcess::Running);
    EXPECT_TRUE(said().contains(QStringLiteral("Неможливо зберегти LOG-файл"))) << said().right(2000).toStdString();

    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "not ended by SIGXFSZ";
    EXPECT_EQ(process.exitCode(), 1) << "the mobile log could not be saved";
    EXPECT_TRUE(savedLog(folder.path(), QStringLiteral("_LOG_PIDKL.RTF")).contains(QStringLiteral("ЗУПИНКА СЕРВЕРА")));
    EXPECT_EQ(QDir(folder.filePath(QStringLiteral("LOG"))).entryList({QStringLiteral("*_JAVA*")}, QDir::Files),
              QStringList());
}

}  // namespace
