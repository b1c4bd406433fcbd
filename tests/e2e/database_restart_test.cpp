// The dispatchers' database server stopped and started again under the running program
// (a server of the test's own: the shared one serves other tests meanwhile). An order
// placed while it is down is answered as failed and is not placed; once it is back, the
// status poll, orders and pages work again without a restart of the program, and the
// operator log tells of the loss once and of the return once.

#include "common/win1251.h"
#include "data/fb.h"
#include "headless_process.h"
#include "java_test_client.h"
#include "private_firebird_server.h"
#include "web_framework/web_client.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace kvtest;

QByteArray cp1251(const QString &text) { return win1251::fromUnicode(text).toBase64(); }

QByteArray quickOrder(const QString &telephone)
{
    return "<NumPhone>" + cp1251(telephone) + "</NumPhone><CodClient></CodClient><DataTimeCreate>NEW</DataTimeCreate>"
        + "<Punct1>" + cp1251(QStringLiteral("[Крем'янецька]{7}")) + "</Punct1><Dod1>"
        + cp1251(QStringLiteral("тел.:[%1]   тариф:[Стандарт]").arg(telephone)) + "</Dod1><Dod2></Dod2></CreateZam>###";
}

const QByteArray kPlaced = "<OtvetCreateZam><NumZam>";
const QByteArray kUpdate = "<UpdateZam>@";
const QByteArray kFailed = "<OtvetCreateZam><NumZam>0</NumZam><Error>";

class DatabaseRestart : public HeadlessTest {
protected:
    void SetUp() override
    {
        folder.useServer(ServerPassword(), server.prefix());
        folder.createServiceDatabase({{QStringLiteral("00101"), QStringLiteral("pw")}});
        QFile scale(folder.filePath(QStringLiteral("SETTING_KART.INI")));
        ASSERT_TRUE(scale.open(QIODevice::WriteOnly));
        scale.write("[KARTA_MISTA]\r\nLENGTH=1000\r\nLENGTH_TOCHKA=100\r\n");
        scale.close();
        run(QStringLiteral("[SET_FIRMA]\nTELEFON_FIRMA=(0332) 77-77-77\nMISTO=Луцьк\n"
                           "[DOSTUP]\nPORT_WEB_SERVERA=%1\nZAGRUZKA_REMONT_ROBIT=0\nMAIN_TARIF=Стандарт\nDOZVIL_POCHATK_ROZR_SUMA=1\n"
                           "DOZVIL_ZAM_PO_DANIH_TELEFONA=1\n"
                           "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=5\n")
                .arg(web)
                .arg(java));
        ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
        ASSERT_TRUE(waitUntilAccepts(java, 10));
        phone = std::make_unique<JavaTestClient>();
        ASSERT_TRUE(phone->connectTo(java));
        ASSERT_EQ(phone->answer(), QByteArray("<OK!>@"));
        phone->send("<CodClient>00101</CodClient><CodPass>pw</CodPass></OpenFormCodZam>###");
        ASSERT_EQ(phone->answer(), QByteArray("<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@"));
    }

    int ordersFrom(const QString &telephone)
    {
        fb::Attachment base;
        base.open({folder.dispatchConnection(), QStringLiteral("SYSDBA"), folder.password()});
        fb::Transaction transaction(base);
        fb::Query query(transaction);
        query.open(QStringLiteral("SELECT COUNT(*) FROM ZAMOVLENNIA WHERE ZAMOVL_PRICHINA_DELETE LIKE ?"),
                   {QStringLiteral("%[") + telephone + QStringLiteral("]%")});
        return int(query.field(0).asInt());
    }

    // The next answer to the phone; order changes the program may have missed meanwhile
    // are notified first, so that the phone asks again.
    QByteArray reply()
    {
        QByteArray answer = phone->answer();
        while (answer == kUpdate)
            answer = phone->answer();
        return answer;
    }

    PrivateFirebirdServer server;
    const int web = freePort(), java = freePort();
    std::unique_ptr<JavaTestClient> phone;
};

TEST_F(DatabaseRestart, OrdersFailWhileTheServerIsDownAndEverythingWorksWhenItIsBack)
{
    phone->send(quickOrder(QStringLiteral("0671112233")));
    EXPECT_TRUE(phone->answer().startsWith(kPlaced + "10"));

    server.stop();
    phone->send(quickOrder(QStringLiteral("0501234567")));
    const QByteArray refused = phone->answer();
    EXPECT_TRUE(refused.startsWith(kFailed)) << refused.toStdString();

    server.start();
    EXPECT_EQ(ordersFrom(QStringLiteral("0501234567")), 0);
    phone->send("<DateFormCodZam>###");
    EXPECT_TRUE(reply().startsWith("<DateFormCodZam><CountActiveZam>"));
    phone->send(quickOrder(QStringLiteral("0501234567")));
    EXPECT_TRUE(reply().startsWith(kPlaced + "10"));
    EXPECT_EQ(ordersFrom(QStringLiteral("0501234567")), 1);

    WebClient browser(web);
    browser.open();
    const QString page = browser
                    .click(QStringLiteral("MainWEB"), QStringLiteral("IWButton2"),
                           {{QStringLiteral("IWEdit1"), QStringLiteral("00101")}, {QStringLiteral("IWEdit2"), QStringLiteral("pw")}})
                    .body;
    EXPECT_TRUE(page.contains(QStringLiteral("Коваленко Олена Петрівна"))) << page.toStdString();

    stop();
    const QString log = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"));
    EXPECT_EQ(log.count(QStringLiteral("Втрачено зв'язок з головною базою даних")), 1) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("Зв'язок з головною базою даних відновлено")), 1);
}

}  // namespace
