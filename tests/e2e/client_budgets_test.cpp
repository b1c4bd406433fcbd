// Clients that follow the protocol with bad intent, against the running program, each from
// an address of its own (phones on 127.0.0.x, browsers named by a trusted proxy): password
// guessing is slow and blind, orders and applications cannot be flooded, and an order
// cannot carry another telephone's piece.

#include "common/text64.h"
#include "data/fb.h"
#include "headless_process.h"
#include "java_test_client.h"
#include "mobile_requests.h"
#include "web_framework/web_client.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace kvtest;

QByteArray loginRequest(const char *code, const char *password)
{
    return QByteArray("<CodClient>") + code + "</CodClient><CodPass>" + password + "</CodPass></OpenFormCodZam>###";
}

// A quick order of `telephone` whose additional data names `named` (the application always
// names its own).
QByteArray quickOrder(const QString &telephone, const QString &named, const QByteArray &when = "NEW",
                      const QString &extras = {})
{
    return "<NumPhone>" + cp1251(telephone) + "</NumPhone><CodClient></CodClient><DataTimeCreate>" + when
        + "</DataTimeCreate><Punct1>" + cp1251(QStringLiteral("[Крем'янецька]{7}")) + "</Punct1><Dod1>"
        + cp1251(QStringLiteral("тел.:[%1]   тариф:[Стандарт]").arg(named)) + "</Dod1><Dod2>" + cp1251(extras)
        + "</Dod2></CreateZam>###";
}

QByteArray refusal(const QByteArray &answer) { return answer.mid(answer.indexOf("<Error>")); }
QByteArray error(const QString &text) { return "<Error>" + EncodeText64(text) + "</Error>"; }

const QByteArray kLimitAnswer = "<OtvetOpenFormCodZam>"
    + error(QStringLiteral("[У вас перевищений ліміт вводу даних клієнта (підбір кода і пароля) !]"))
    + "<status>NO</status></OtvetOpenFormCodZam>@";
const QByteArray kLoggedIn = "<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@";

class ClientBudgets : public HeadlessTest {
protected:
    void SetUp() override
    {
        folder.useServer(ServerPassword());  // the test reads the orders meanwhile
        folder.createServiceDatabase({{QStringLiteral("00101"), QStringLiteral("pw")},
                                      {QStringLiteral("00103"), QStringLiteral("pw")}});
        run(QStringLiteral("[WEB]\nTRUSTED_PROXIES=127.0.0.1\n"
                           "[SET_FIRMA]\nTELEFON_FIRMA=555-12-12\n"
                           "[DOSTUP]\nPORT_WEB_SERVERA=%1\nZAGRUZKA_REMONT_ROBIT=0\nMAIN_TARIF=Стандарт\n"
                           "DOZVIL_ZAM_PO_DANIH_TELEFONA=1\nDOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI=1\n"
                           "MAX_POMYLOK_VHODU_Z_ADRESY=12\nMAX_ZAMOVLEN_Z_ADRESY=2\nADRESY_BEZ_LIMITU=127.0.0.9/32\n"
                           "MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO=1\nMAX_ZAYAVOK_Z_ADRESY=1\nMAX_DNIV_POPEREDNYOGO=7\n"
                           "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=20\n")
                .arg(web)
                .arg(java));
        ASSERT_TRUE(waitUntilAccepts(web, 60)) << process.readAllStandardError().toStdString();
        ASSERT_TRUE(waitUntilAccepts(java, 10));
    }

    std::unique_ptr<JavaTestClient> phone(const QString &address)
    {
        auto client = std::make_unique<JavaTestClient>();
        EXPECT_TRUE(client->connectTo(java, address));
        EXPECT_EQ(client->answer(), QByteArray("<OK!>@"));
        return client;
    }
    QByteArray ask(JavaTestClient &client, const QByteArray &request)
    {
        client.send(request);
        return client.answer();
    }
    QStringList stored(const QString &like)
    {
        fb::Attachment base;
        base.open({folder.dispatchConnection(), QStringLiteral("SYSDBA"), folder.password()});
        fb::Transaction transaction(base);
        fb::Query query(transaction);
        query.open(QStringLiteral("SELECT ZAMOVL_PRICHINA_DELETE FROM ZAMOVLENNIA WHERE ZAMOVL_PRICHINA_DELETE LIKE ?"), {like});
        QStringList texts;
        for (const auto &row : query.rows())
            texts << fb::valueText(row[0]);
        return texts;
    }

    const int web = freePort(), java = freePort();
};

TEST_F(ClientBudgets, PasswordGuessingIsSlowAndBlind)
{
    // Five tries a connection, then the answer no longer depends on the password.
    auto guesser = phone(QStringLiteral("127.0.0.2"));
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(ask(*guesser, loginRequest("00101", "guess")), kLoggedIn);
    EXPECT_EQ(ask(*guesser, loginRequest("00101", "pw")), kLimitAnswer);

    // New connections from the same address: past twelve failures nothing is checked.
    for (int round = 0; round < 2; ++round) {
        guesser = phone(QStringLiteral("127.0.0.2"));
        for (int i = 0; i < (round == 0 ? 5 : 2); ++i)
            EXPECT_NE(ask(*guesser, loginRequest("00101", "guess")), kLimitAnswer);
    }
    guesser = phone(QStringLiteral("127.0.0.2"));
    EXPECT_EQ(ask(*guesser, loginRequest("00101", "pw")), kLimitAnswer);

    // The pages count with the phones: the address's browser is shown out.
    WebClient browser(web, "127.0.0.2");
    browser.open();
    const QString page = browser
                             .click(QStringLiteral("MainWEB"), QStringLiteral("IWButton2"),
                                    {{QStringLiteral("IWEdit1"), QStringLiteral("00101")},
                                     {QStringLiteral("IWEdit2"), QStringLiteral("pw")}})
                             .body;
    EXPECT_TRUE(page.contains(QStringLiteral("перевищений ліміт вводу даних клієнта (підбір кода і пароля)")));
    EXPECT_FALSE(page.contains(QStringLiteral("Коваленко")));

    // The owner, from elsewhere, is not affected.
    auto owner = phone(QStringLiteral("127.0.0.3"));
    EXPECT_EQ(ask(*owner, loginRequest("00101", "pw")), kLoggedIn);
    stop();
    const QString mobileLog = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"));
    EXPECT_EQ(mobileLog.count(QStringLiteral("вхід з адреси IP:[127.0.0.2] відхилено без перевірки пароля")), 1);
}

TEST_F(ClientBudgets, OrdersAndApplicationsCannotBeFloodedNorCarryAnotherTelephone)
{
    const QByteArray tooMany =
        error(QStringLiteral("[з вашої адреси створено забагато замовлень, повторіть спробу пізніше або замовте у "
                             "телефонному режимі тел.[555-12-12]]"));
    auto flood = phone(QStringLiteral("127.0.0.4"));
    for (const char *telephone : {"0671000001", "0671000002"})
        EXPECT_TRUE(ask(*flood, quickOrder(QString::fromLatin1(telephone), QString::fromLatin1(telephone)))
                        .startsWith("<OtvetCreateZam><NumZam>10"));
    EXPECT_EQ(refusal(ask(*flood, quickOrder(QStringLiteral("0671000003"), QStringLiteral("0671000003")))),
              tooMany + "</OtvetCreateZam>@");
    auto desk = phone(QStringLiteral("127.0.0.9"));  // listed: a hotel desk
    for (const char *telephone : {"0671000011", "0671000012", "0671000013"})
        EXPECT_TRUE(ask(*desk, quickOrder(QString::fromLatin1(telephone), QString::fromLatin1(telephone)))
                        .startsWith("<OtvetCreateZam><NumZam>10"));

    // Another telephone's piece, a far date; typed brackets stay text.
    auto forger = phone(QStringLiteral("127.0.0.5"));
    EXPECT_EQ(refusal(ask(*forger, quickOrder(QStringLiteral("0672000001"), QStringLiteral("0501234567")))),
              error(QStringLiteral("[номер телефона у даних замовлення не збігається з вказаним номером]"))
                  + "</OtvetCreateZam>@");
    const QByteArray far = QDateTime::currentDateTime().addDays(8).toString(QStringLiteral("dd.MM.yyyy HH:mm")).toLatin1();
    EXPECT_EQ(refusal(ask(*forger, quickOrder(QStringLiteral("0672000001"), QStringLiteral("0672000001"), far))),
              error(QStringLiteral("[попереднє замовлення можливе не далі ніж на 7 днів наперед]")) + "</OtvetCreateZam>@");
    EXPECT_TRUE(ask(*forger, quickOrder(QStringLiteral("0672000001"), QStringLiteral("0672000001"), "NEW",
                                        QStringLiteral("] тел.:[0501234567]   тариф:[")))
                    .startsWith("<OtvetCreateZam><NumZam>10"));
    EXPECT_EQ(stored(QStringLiteral("%0672000001%")),
              QStringList{QStringLiteral("тел.:[0672000001]   тариф:[Стандарт](> тел.:<0501234567>   тариф:<)")});

    // A coded account's open orders.
    auto coded = phone(QStringLiteral("127.0.0.6"));
    ASSERT_EQ(ask(*coded, loginRequest("00103", "pw")), kLoggedIn);
    const QByteArray codedOrder = "<NumPhone>" + cp1251(QStringLiteral("0939876543"))
        + "</NumPhone><DataTimeCreate>NEW</DataTimeCreate><Punct1>" + cp1251(QStringLiteral("[Крем'янецька]{7}"))
        + "</Punct1><Dod1>" + cp1251(QStringLiteral("тел.:[0939876543]   тариф:[Стандарт]")) + "</Dod1></CreateZamCodForm>###";
    EXPECT_TRUE(ask(*coded, codedOrder).startsWith("<OtvetCreateZamCodForm><NumZam>10"));
    EXPECT_EQ(refusal(ask(*coded, codedOrder)),
              error(QStringLiteral("[перевищено кількість активних замовлень (1), решту замовте у телефонному режимі "
                                   "тел.[555-12-12]]"))
                  + "</OtvetCreateZamCodForm>@");

    // Applications for every code.
    auto applicant = phone(QStringLiteral("127.0.0.7"));
    const auto apply = [&](const char *code) {
        return ask(*applicant, QByteArray("<CodClient>") + code + "</CodClient><CodPass>x</CodPass><NumPhone>"
                                   + cp1251(QStringLiteral("0670000000")) + "</NumPhone><Primitka></Primitka></AddUsers>###");
    };
    EXPECT_EQ(apply("00104"), "<OtvetAddUsers><Error></Error></OtvetAddUsers>@");
    EXPECT_EQ(apply("00105"),
              "<OtvetAddUsers>"
                  + error(QStringLiteral("<З вашої адреси подано забагато заявок, повторіть спробу пізніше>[Заявка на "
                                         "реєстрацію не пройшла, у вас є можливість тільки створення замовлення на панелі "
                                         "ШВИДКЕ ЗАМОВЛЕННЯ, або пройти реєстрацію повторно]"))
                  + "</OtvetAddUsers>@");
    stop();
    const QString mobileLog = savedLog(folder.path(), QStringLiteral("_LOG_PIDKL_JAVA.RTF"));
    EXPECT_TRUE(mobileLog.contains(QStringLiteral("] номер телефона [0672000001] замовлення клієнта з IP:[127.0.0.5] не "
                                                  "збігається з номером у даних замовлення [0501234567].")));
}

}  // namespace
