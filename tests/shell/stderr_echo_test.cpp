#include "shell/stderr_echo.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <thread>

#include <unistd.h>

namespace {

// Nobody reads the pipe while the lines are handed over: an echo that waited for the
// pipe would hang this test for good. Every line is either written, in order, or counted.
TEST(StderrEcho, AStalledPipeNeverHoldsTheLoggerAndTheMissedLinesAreCounted)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const QByteArray line = QByteArray(1023, 'x') + '\n';
    const int handed = int(2 * StderrEcho::kMaxQueued / line.size());

    QByteArray all;
    std::thread reader;
    {
        StderrEcho echo(ends[1]);
        echo.write("first\n");
        for (int i = 0; i < handed; ++i)
            echo.write(line);
        echo.write("last\n");

        reader = std::thread([&] {
            char buffer[65536];
            for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
                all.append(buffer, got);
        });
    }  // the echo writes what waits before it goes
    ::close(ends[1]);
    reader.join();
    ::close(ends[0]);

    ASSERT_TRUE(all.startsWith("first\n"));
    const QRegularExpressionMatch count
        = QRegularExpression(QStringLiteral("не виведено[^0-9]*(\\d+)\\)\n$")).match(QString::fromUtf8(all));
    ASSERT_TRUE(count.hasMatch());
    const qsizetype written = all.count('\n') - 1;
    EXPECT_EQ(written + count.captured(1).toLongLong(), handed + 2);
    EXPECT_GT(written, StderrEcho::kMaxQueued / line.size() / 2);
}

}  // namespace
