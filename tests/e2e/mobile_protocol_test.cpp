#include "common/win1251.h"
#include "data/fb.h"
#include "headless_process.h"
#include "java_test_client.h"

#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using namespace kvtest;

QByteArray b64(const char *utf8) { return QByteArray(utf8).toBase64(); }

// The application sends its free text as Base64 of Windows-1251 bytes.
QByteArray b64cp1251(const char *utf8) { return win1251::fromUnicode(QString::fromUtf8(utf8)).toBase64(); }

QByteArray listItem(int k, const char *utf8)
{
    const QByteArray number = QByteArray::number(k);
    return "<#" + number + '>' + b64(utf8) + "</#" + number + '>';
}

const QByteArray kGreeting = "<OK!>@";

// Every setting the settings answer carries, with the flags set against their defaults.
const char *const kSettings =
    "[SET_FIRMA]\nNAME_FIRMA=Таксі Рута\nADRESS_FIRMA=вул. Шевченка, 1\nTELEFON_FIRMA=\n"
    "POVIDOML_PRI_ZAPUSKU=Вітаємо\n"
    "[DOSTUP]\nPORT_WEB_SERVERA=%1\nMAIN_TARIF=Місто\nROZKLAD_YUVILEYOK=[18]\nBLOK_SHVIDK_ZAMOV=0\n"
    "BLOK_KODOVAN_ZAMOV=0\nBLOK_REESTRACIYA=1\nDOSTUP_ZAKAZ_YUVILEYLA=1\nDOZVIL_POCHATK_ROZR_SUMA=0\n"
    "DOZVIL_ZAM_PO_DANIH_TELEFONA=1\n"
    "[SETKLIENT]\nDAY_NARODZHENYA=З днем народження!\nPOKAZ_OSOBIST_POVID_KLIENTU=0\n"
    "DELETE_OSOBIST_POVID_AFTEROPENPROGRAM=1\nPOZDOROVLENNYA_Z_DNEM_NAROD=0\n"
    "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=%3\n";

const QByteArray kSettingsAnswer = "<OtvetSettingServer><NameTaxi>" + b64("Таксі Рута") + "</NameTaxi><AdressTaxi>"
    + b64("вул. Шевченка, 1") + "</AdressTaxi><PhoneTaxi></PhoneTaxi><TarifTaxi>" + b64("Місто")
    + "</TarifTaxi><MsgForVsih>" + b64("Вітаємо") + "</MsgForVsih><ChasDozvilYuvileika>" + b64("[18]")
    + "</ChasDozvilYuvileika><TextPozdZDnemNarod>" + b64("З днем народження!")
    + "</TextPozdZDnemNarod><DozvilSpeedZam>1</DozvilSpeedZam><DozvilCodZam>1</DozvilCodZam>"
      "<DozvilReestraciya>0</DozvilReestraciya><DozvilPokazPovidoml>0</DozvilPokazPovidoml>"
      "<DozvilClearPovidoml>1</DozvilClearPovidoml><DozvilPozdorovlZFnemNarod>0</DozvilPozdorovlZFnemNarod>"
      "<DozvilZamovYuvileyka>1</DozvilZamovYuvileyka><DozvilPoperedProrah>0</DozvilPoperedProrah>"
      "<DozvilZamBezCoda>1</></OtvetSettingServer>@";

const QByteArray kNewsAnswer = "<DataNews>" + b64("Знижки вихідного дня\r\nНові тарифи\r\n") + "</DataNews>@";

class MobileProtocol : public HeadlessTest {
protected:
    void start(int maxConnections)
    {
        QFile news(folder.filePath(QStringLiteral("NEWS.rtf")));
        ASSERT_TRUE(news.open(QIODevice::WriteOnly));
        news.write(QStringLiteral("Знижки вихідного дня\r\nНові тарифи\r\n").toUtf8());
        news.close();
        const int web = freePort();
        port = freePort();
        run(QString::fromUtf8(kSettings).arg(web).arg(port).arg(maxConnections));
        ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
        // The mobile server starts listening just after the web server.
        ASSERT_TRUE(waitUntilAccepts(port, 10));
    }

    int port = 0;
};

TEST_F(MobileProtocol, GreetsFramesRequestsAndAnswersSettingsAndNewsByteForByte)
{
    start(5);
    JavaTestClient client;
    ASSERT_TRUE(client.connectTo(port));
    EXPECT_EQ(client.answer(), kGreeting);

    // Two requests in one read: two answers, in order.
    client.send("<OpenSettingServer>###<OpenNews>###");
    EXPECT_EQ(client.answer(), kSettingsAnswer);
    EXPECT_EQ(client.answer(), kNewsAnswer);

    // A request split over two reads is answered once its terminator arrives; what
    // follows the last terminator waits for the next read.
    client.send("<OpenSett");
    EXPECT_EQ(client.received(300), QByteArray());
    client.send("ingServer>###<OpenNe");
    EXPECT_EQ(client.answer(), kSettingsAnswer);
    EXPECT_EQ(client.received(300), QByteArray());
    client.send("ws>###");
    EXPECT_EQ(client.answer(), kNewsAnswer);

    // Unknown requests, near misses and commands that need a login are dropped silently.
    client.send("<OpenNews> ###<opennews>###<DateFormCodZam>###<CloseFormCodZam>###"
                "<CodClient>1</CodClient></OpenFormCodZam>######<OpenSettingServer>###");
    EXPECT_EQ(client.answer(), kSettingsAnswer);

    stop();
    const QString log = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"));
    for (const char *line :
         {"JAVASERVERListen ...", "] спроба підключення клієнта з  IP:[127.0.0.1]",
          "] процес добавлення в таблицю клієнта з  IP:[127.0.0.1]. Установка попередніх налаштувань клієнта.",
          "] відправлення запрошення <OK!> щойно підключеному до роботи клієнту з  IP:[127.0.0.1]",
          "] Опитування клієнтом з IP:[127.0.0.1] налаштувань сервера",
          "] Клієнт з IP:[127.0.0.1] успішно зчитав текст новин.", "] процес закриття клієнта з  IP:[127.0.0.1]",
          "] вихід із java системи  клієнта з   IP:[127.0.0.1]    код кл.:[0]    вхід у["})
        EXPECT_TRUE(log.contains(QString::fromUtf8(line))) << line << "\n" << log.toStdString();
}

TEST_F(MobileProtocol, StreetAndObjectSearchesListMatchesAndTakeQuotesAsText)
{
    start(5);
    JavaTestClient client;
    ASSERT_TRUE(client.connectTo(port));
    EXPECT_EQ(client.answer(), kGreeting);

    client.send("<ListVul>" + b64cp1251("ниченка") + "</ListVul>###");
    EXPECT_EQ(client.answer(), "<VidpovidListVul>" + listItem(1, "Винниченка") + "<cil>1</cil></VidpovidListVul>@");
    client.send("<ListVul>" + b64cp1251("Крем'") + "</ListVul>###");
    EXPECT_EQ(client.answer(), "<VidpovidListVul>" + listItem(1, "Крем'янецька") + "<cil>1</cil></VidpovidListVul>@");
    client.send("<ListVul>" + b64cp1251("' OR '1'='1") + "</ListVul>###");
    EXPECT_EQ(client.answer(), QByteArray("<VidpovidListVul><cil>0</cil></VidpovidListVul>@"));
    client.send("<ListVul></ListVul>###");
    const QByteArray everyStreet = client.answer();
    EXPECT_TRUE(everyStreet.endsWith("<cil>12</cil></VidpovidListVul>@")) << everyStreet.toStdString();
    EXPECT_TRUE(everyStreet.contains(listItem(12, "проспект Соборності"))) << everyStreet.toStdString();

    client.send("<ListObekt>" + b64cp1251("«") + "</ListObekt>###");
    EXPECT_EQ(client.answer(),
              "<VidpovidListObekt>" + listItem(1, "Готель «Україна»") + "<cil>1</cil></VidpovidListObekt>@");
    client.send("<ListObekt>" + b64cp1251("Шевченка") + "</ListObekt>###");
    EXPECT_EQ(client.answer(), QByteArray("<VidpovidListObekt><cil>0</cil></VidpovidListObekt>@"))
        << "buildings are never objects";
    client.send("<ListObekt></ListObekt>###");
    const QByteArray everyObject = client.answer();
    EXPECT_TRUE(everyObject.endsWith("<cil>10</cil></VidpovidListObekt>@")) << everyObject.toStdString();
    stop();
}

TEST_F(MobileProtocol, LoggedInCommandsWaitForTheLoginAndStopAtTheLogout)
{
    // An account for client 00102 of the demo city, in a service database made beforehand.
    folder.createServiceDatabase({{QStringLiteral("00102"), QStringLiteral("pa'ss")}});
    start(5);
    JavaTestClient client;
    ASSERT_TRUE(client.connectTo(port));
    EXPECT_EQ(client.answer(), kGreeting);

    client.send("<DateFormCodZam>###<CodClient>00102</CodClient><CodPass>' OR '1'='1</CodPass></OpenFormCodZam>###");
    EXPECT_EQ(client.answer(), "<OtvetOpenFormCodZam><Error>"
                                   + b64("[Ви не зареєстровані у web системі і/або ваша заявка ще не оброблена "
                                         "модератором у випадку попередньої подачи заявки !]")
                                   + "</Error><status>NO</status></OtvetOpenFormCodZam>@");

    client.send("<CodClient>00102</CodClient><CodPass>pa'ss</CodPass></OpenFormCodZam>###<DateFormCodZam>###");
    EXPECT_EQ(client.answer(), QByteArray("<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@"));
    EXPECT_EQ(client.answer(),
              "<DateFormCodZam><CountActiveZam>0</CountActiveZam><ActivPoz>0</ActivPoz><NumZam>0</NumZam>"
              "<Punct1></Punct1><Punct2></Punct2><DataTimeZamCreate></DataTimeZamCreate>"
              "<DataTimeZamZapusk></DataTimeZamZapusk><Pozivn>0</Pozivn><DaniAuto></DaniAuto><TarifZam></TarifZam>"
              "<SumaZam>0</SumaZam><FIO>"
                  + b64("Шевчук Андрій Іванович")
                  + "</FIO><CountYuvel>2</CountYuvel><Count_do_Yuvel>24</Count_do_Yuvel><VhidMsg></VhidMsg>"
                    "</DateFormCodZam>@");

    client.send("<CloseFormCodZam>###<DateFormCodZam>###<OpenNews>###");
    EXPECT_EQ(client.answer(), kNewsAnswer) << "no answer to the logout nor to a status request after it";
    stop();
}

TEST_F(MobileProtocol, AFloodWithoutTerminatorIsCutOffAndOthersKeepBeingServed)
{
    start(5);
    JavaTestClient flood;
    ASSERT_TRUE(flood.connectTo(port));
    EXPECT_EQ(flood.answer(), kGreeting);
    JavaTestClient other;
    ASSERT_TRUE(other.connectTo(port, QStringLiteral("127.0.0.2")));
    EXPECT_EQ(other.answer(), kGreeting);

    // Within the cap the bytes are kept until their terminator comes.
    flood.send(QByteArray(60 * 1024, 'x'));
    flood.send("###<OpenNews>###");
    EXPECT_EQ(flood.answer(), kNewsAnswer);
    flood.send(QByteArray(70 * 1024, 'x'));
    EXPECT_TRUE(flood.closedByServer());

    other.send("<OpenNews>###");
    EXPECT_EQ(other.answer(), kNewsAnswer);
    stop();
    EXPECT_TRUE(savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"))
                    .contains(QStringLiteral("] клієнт з  IP:[127.0.0.1] передав понад 65536 байт без закінчення "
                                             "запиту [###]. Зєднання закрито.")));
}

TEST_F(MobileProtocol, TheConnectionLimitRefusesOtherAddressesAndAReconnectReplacesTheOlderConnection)
{
    start(1);
    JavaTestClient first;
    ASSERT_TRUE(first.connectTo(port));
    EXPECT_EQ(first.answer(), kGreeting);

    JavaTestClient stranger;
    ASSERT_TRUE(stranger.connectTo(port, QStringLiteral("127.0.0.2")));
    EXPECT_TRUE(stranger.closedByServer());
    EXPECT_EQ(stranger.received(0), QByteArray()) << "a refused client is not greeted";

    first.send("<OpenNews>###");
    EXPECT_EQ(first.answer(), kNewsAnswer);

    JavaTestClient again;
    ASSERT_TRUE(again.connectTo(port));
    EXPECT_EQ(again.answer(), kGreeting);
    EXPECT_TRUE(first.closedByServer());
    again.send("<OpenSettingServer>###");
    EXPECT_EQ(again.answer(), kSettingsAnswer);
    stop();
}

TEST_F(MobileProtocol, TakenSlotsHaveTheirActiveRowsAndReleasedOnesLoseThem)
{
    start(5);
    JavaTestClient a, b, c, b2;
    ASSERT_TRUE(a.connectTo(port, QStringLiteral("127.0.0.1")));
    EXPECT_EQ(a.answer(), kGreeting);
    ASSERT_TRUE(b.connectTo(port, QStringLiteral("127.0.0.2")));
    EXPECT_EQ(b.answer(), kGreeting);
    ASSERT_TRUE(c.connectTo(port, QStringLiteral("127.0.0.3")));
    EXPECT_EQ(c.answer(), kGreeting);
    // The reconnect from .2 releases the older slot and its row before taking a new one.
    ASSERT_TRUE(b2.connectTo(port, QStringLiteral("127.0.0.2")));
    EXPECT_EQ(b2.answer(), kGreeting);
    EXPECT_TRUE(b.closedByServer());

    // Killed on the spot, the program leaves its rows as they stood: those of connects
    // close together are written together within a tenth of a second.
    QThread::msleep(1000);
    process.kill();
    ASSERT_TRUE(process.waitForFinished(10000));
    fb::Attachment base;
    base.open({folder.filePath(QStringLiteral("KORVANTIS_KLIENT.FDB")), QStringLiteral("SYSDBA"),
               QStringLiteral("masterkey")});
    fb::Transaction transaction(base);
    fb::Query rows(transaction);
    rows.open(QStringLiteral("SELECT TABLE_ACTIV_NP, TABLE_ACTIV_IP, TABLE_ACTIV_ID, TABLE_ACTIV_KOD, "
                             "TABLE_ACTIV_VHID, TABLE_ACTIV_END FROM TABLE_ACTIV ORDER BY TABLE_ACTIV_NP"));
    ASSERT_EQ(rows.recordCount(), 3);
    const std::pair<int, const char *> expected[] = {{1, "127.0.0.1"}, {3, "127.0.0.3"}, {4, "127.0.0.2"}};
    for (rows.first(); !rows.eof(); rows.next()) {
        const auto &[number, address] = expected[rows.recNo() - 1];
        EXPECT_EQ(rows.field(QStringLiteral("TABLE_ACTIV_NP")).asInt(), number);
        EXPECT_EQ(rows.field(QStringLiteral("TABLE_ACTIV_IP")).asText(), QString::fromLatin1(address));
        EXPECT_EQ(rows.field(QStringLiteral("TABLE_ACTIV_ID")).asText(), QStringLiteral("JAVA"));
        EXPECT_TRUE(rows.field(QStringLiteral("TABLE_ACTIV_KOD")).isNull());
        const QDateTime vhid = rows.field(QStringLiteral("TABLE_ACTIV_VHID")).asDateTime();
        EXPECT_LE(qAbs(vhid.secsTo(QDateTime::currentDateTime())), 60);
        EXPECT_EQ(vhid.secsTo(rows.field(QStringLiteral("TABLE_ACTIV_END")).asDateTime()), 600);
    }
    transaction.commit();
}

}  // namespace
