#include "headless_process.h"

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

}  // namespace
