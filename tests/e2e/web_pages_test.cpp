#include "headless_process.h"
#include "web_framework/web_client.h"

namespace {

using namespace kvtest;

using HeadlessWeb = HeadlessTest;

TEST_F(HeadlessWeb, ServesTheMainPageUnderTheLimitAndEndsSessionsAtTheStop)
{
    const int web = freePort();
    run(QStringLiteral("[SET_FIRMA]\nTELEFON_FIRMA=777-00-00\nPOVIDOML_PRI_ZAPUSKU=Ласкаво просимо <друзі>\n"
                       "[DOSTUP]\nPORT_WEB_SERVERA=%1\nZAGRUZKA_REMONT_ROBIT=0\nMAX_KIL_ZEDNAYA=1\n"
                       "[DOSTUP_JAVA]\nCLOSE_SERVER=1\n")
            .arg(web));
    ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();

    WebClient first(web);
    const WebAnswer page = first.open();
    EXPECT_TRUE(page.body.contains(QStringLiteral("Ласкаво просимо &lt;друзі&gt;"))) << page.body.toStdString();
    WebClient second(web);
    EXPECT_TRUE(second.open().body.contains(QStringLiteral("(тел. [777-00-00]) !")));
    EXPECT_TRUE(first.get("/zakaz/ffffffffffffffffffffffffffffffff").body.contains(QStringLiteral("Сесія завершена")));
    EXPECT_EQ(first.get("/files/newspaper.bmp").status, 200);
    stop();

    const QString log = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL.RTF"));
    const qsizetype entered = log.indexOf(QStringLiteral("] вхід у web систему клієнта з  IP : 127.0.0.1"));
    const qsizetype accounts = log.indexOf(QStringLiteral("----------------------ЗУПИНКА АККАУНТІВ"));
    const qsizetype left = log.indexOf(QStringLiteral("] вихід із web системи  клієнта з   IP:[127.0.0.1]"));
    EXPECT_GE(entered, 0) << log.toStdString();
    EXPECT_GT(left, accounts);
    EXPECT_TRUE(log.contains(QStringLiteral("Кількість сканувань порта роздач : 2")));
}

}  // namespace
