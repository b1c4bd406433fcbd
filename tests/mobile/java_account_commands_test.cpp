#include "common/extract_between.h"
#include "common/win1251.h"
#include "mobile/java_account_commands.h"
#include "mobile/java_activ_rows.h"
#include "mobile/java_client_table.h"
#include "mobile_databases.h"

#include <gtest/gtest.h>

namespace {

QByteArray b64(const char *utf8) { return QByteArray(utf8).toBase64(); }

QByteArray login(const char *code, const char *password)
{
    return QByteArray("<CodClient>") + code + "</CodClient><CodPass>" + password + "</CodPass></OpenFormCodZam>";
}

QByteArray refused(const QString &errorText)
{
    return "<OtvetOpenFormCodZam><Error>" + errorText.toUtf8().toBase64()
        + "</Error><status>NO</status></OtvetOpenFormCodZam>";
}

const QString kNotRegistered = QStringLiteral(
    "[Ви не зареєстровані у web системі і/або ваша заявка ще не оброблена модератором у випадку попередньої подачи "
    "заявки !]");
const QString kLimit = QStringLiteral("[У вас перевищений ліміт вводу даних клієнта (підбір кода і пароля) !]");

// Client 00101 of the demo city (born 14 March, one active order, 1002 with car 102)
// with a web account and a personal message.
class AccountCommands : public MobileDatabases {
protected:
    AccountCommands() : MobileDatabases(true) {}

    void SetUp() override
    {
        MobileDatabases::SetUp();
        if (HasFatalFailure())
            return;
        TDANI::Execute(context.danni.GPRS_RIZNE,
                       QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, "
                                      "TABLE_KLIENT_BAN, TABLE_KLIENT_POVID) VALUES (1, '00101', 'secret', '-', ?)"),
                       {QStringLiteral("Ваш рахунок поповнено")});
        context.accounts.resetAtStart();  // the counters count while the servers run
        context.settings.POZDOROVLENNYA_Z_DNEM_NAROD = true;
        context.settings.DAY_NARODZHENYA = QStringLiteral("З днем народження!");
        context.settings.JAVA_MAX_CHAS_KODOVANOGO_ZEDN = QStringLiteral("30");
        context.settings.JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN = QStringLiteral("10");
        table.reset(1, now);
        slot = table.take(QStringLiteral("10.0.0.7"), now, 10);
        WriteJavaActivChanges(context.danni, {{true, QStringLiteral("10.0.0.7"), slot->TimeVhid, slot->TimeVihid}});
    }

    QByteArray answer(const QByteArray &request)
    {
        return LoginAnswer(context, *slot, QStringLiteral("10.0.0.7"), request, now);
    }

    QString activEnd()
    {
        return TDANI::ScalarText(context.danni.GPRS_RIZNE, QStringLiteral("SELECT TABLE_ACTIV_END FROM TABLE_ACTIV"));
    }

    JavaClientTable table;
    TTableJavaClient *slot = nullptr;
    QDateTime now{QDate(2026, 3, 14), QTime(9, 30, 0)};
};

TEST_F(AccountCommands, TheSixthLoginOfAConnectionIsRefusedWhateverItsPassword)
{
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(answer(login("00101", "wrong")), refused(kNotRegistered)) << i;
    // From now on the answer does not depend on the password: nothing is checked.
    EXPECT_EQ(answer(login("00101", "wrong")), refused(kLimit));
    EXPECT_EQ(answer(login("00101", "secret")), refused(kLimit));
    EXPECT_EQ(slot->CountInput, 7);
    EXPECT_FALSE(slot->loggedIn());
    // One line a minute says so.
    EXPECT_EQ(context.mobileLog.lines().filter(QStringLiteral("] перевиження ліміту входу клієнта з IP : 10.0.0.7")).size(),
              1);
}

TEST_F(AccountCommands, ALoginOnTheBirthdayGreetsAndGivesTheLongerTime)
{
    EXPECT_EQ(answer(login(" 00101 ", "secret")),
              "<OtvetOpenFormCodZam><status>OK</status><d.n.>" + b64("З днем народження!")
                  + "</d.n.></OtvetOpenFormCodZam>");
    EXPECT_EQ(slot->CodClient, QStringLiteral(" 00101 "));
    EXPECT_TRUE(slot->Coded);
    EXPECT_EQ(slot->CountInput, 0);
    EXPECT_EQ(slot->FIO, QStringLiteral("Коваленко Олена Петрівна"));
    EXPECT_EQ(slot->TimeVihid, now.addSecs(30 * 60));
    EXPECT_EQ(activEnd(), QStringLiteral("14.03.2026 10:00:00"));
    EXPECT_EQ(context.accounts.values().codedEntries, QStringLiteral("1"));
    EXPECT_TRUE(context.mobileLog.lines().contains(QStringLiteral(
        "[14.03.2026 09:30:00] Вхід на сторінку кодованого замовлення клієнта з IP:[10.0.0.7] і заданим кодом клієнта "
        "[00101]")));

    now = now.addDays(1);
    EXPECT_EQ(answer(login("00101", "secret")), QByteArray("<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>"));
}

TEST_F(AccountCommands, ABannedAccountIsToldUntilWhen)
{
    TDANI::Execute(context.danni.GPRS_RIZNE,
                   QStringLiteral("UPDATE TABLE_KLIENT SET TABLE_KLIENT_BAN = '+', TABLE_KLIENT_DATBAN = '2026-03-20', "
                                  "TABLE_KLIENT_TIMEBAN = '12:00:00'"));
    EXPECT_EQ(answer(login("00101", "secret")),
              refused(QStringLiteral("[Ви немаєте можливості увійти в систему web сервіса, так як ви заблоковані до "
                                     "[20.03.2026 12:00:00] ]")));
    EXPECT_FALSE(slot->loggedIn());
}

TEST_F(AccountCommands, TheStatusBlockRightAfterLoginAndWithAFollowedOrder)
{
    ASSERT_EQ(answer(login("00101", "secret")).left(40), QByteArray("<OtvetOpenFormCodZam><status>OK</status>"));
    const QByteArray tail = "<FIO>" + b64("Коваленко Олена Петрівна") + "</FIO><CountYuvel>0</CountYuvel>"
        + "<Count_do_Yuvel>9</Count_do_Yuvel><VhidMsg>" + b64("Ваш рахунок поповнено") + "</VhidMsg>";
    EXPECT_EQ(BuildClientStatus(context, *slot).toLatin1(),
              "<CountActiveZam>1</CountActiveZam><ActivPoz>0</ActivPoz><NumZam>0</NumZam><Punct1></Punct1>"
              "<Punct2></Punct2><DataTimeZamCreate></DataTimeZamCreate><DataTimeZamZapusk></DataTimeZamZapusk>"
              "<Pozivn>0</Pozivn><DaniAuto></DaniAuto><TarifZam></TarifZam><SumaZam>0</SumaZam>"
                  + tail);
    EXPECT_EQ(slot->CountActiveZam, 1);

    slot->NumZam = 1002;
    const QByteArray status = BuildClientStatus(context, *slot).toLatin1();
    EXPECT_EQ(slot->StatusZam.toLatin1(), status);
    EXPECT_TRUE(status.startsWith("<CountActiveZam>1</CountActiveZam><ActivPoz>102</ActivPoz><NumZam>1002</NumZam>"
                                  "<Punct1>" + b64("Лесі Українки, 12") + "</Punct1><Punct2>" + b64("Лікарня №1")
                                  + "</Punct2><DataTimeZamCreate>"))
        << status.toStdString();
    EXPECT_EQ(ExtractBetween(status, "<DataTimeZamCreate>", "</DataTimeZamCreate>").size(), 19);
    EXPECT_TRUE(status.endsWith("</DataTimeZamZapusk><Pozivn>102</Pozivn><DaniAuto>"
                                + b64(" авто:[ поз.102 / АС 5678 ЕМ / сірий / Toyota Corolla]")
                                + "</DaniAuto><TarifZam></TarifZam><SumaZam>62,5</SumaZam>" + tail))
        << status.toStdString();
}

TEST_F(AccountCommands, EveryStatusPollSeesTheChangesCommittedBeforeIt)
{
    ASSERT_EQ(answer(login("00101", "secret")).left(40), QByteArray("<OtvetOpenFormCodZam><status>OK</status>"));
    EXPECT_TRUE(BuildClientStatus(context, *slot).contains(QStringLiteral("<Count_do_Yuvel>9</Count_do_Yuvel>")));

    // A dispatcher's program on a connection of its own.
    fb::Attachment dispatchers;
    dispatchers.open({folder.dispatchDatabase(), QStringLiteral("SYSDBA"), QStringLiteral("masterkey")});
    fb::Transaction work(dispatchers);
    fb::Query(work).execute(QStringLiteral("UPDATE KLIENT SET KLIENT_KIL_VIKLIK = 10 WHERE KLIENT_NUMBER = 1"));
    fb::Query(work).execute(QStringLiteral("UPDATE ZAMOVLENNIA SET ZAMOVL_STATUS_ZAMOVL = 1"));
    EXPECT_TRUE(BuildClientStatus(context, *slot).startsWith(QStringLiteral("<CountActiveZam>1</CountActiveZam>")));
    work.commit();
    const QString status = BuildClientStatus(context, *slot);
    EXPECT_TRUE(status.startsWith(QStringLiteral("<CountActiveZam>0</CountActiveZam>"))) << status.toStdString();
    EXPECT_TRUE(status.contains(QStringLiteral("<Count_do_Yuvel>10</Count_do_Yuvel>"))) << status.toStdString();
    EXPECT_EQ(slot->CountActiveZam, 0);

    ClearPersonalMessage(context, *slot);
    EXPECT_TRUE(BuildClientStatus(context, *slot).endsWith(QStringLiteral("<VhidMsg></VhidMsg>")));
}

TEST_F(AccountCommands, LogoutClearingAndAMessageToTheService)
{
    ASSERT_EQ(answer(login("00101", "secret")).left(40), QByteArray("<OtvetOpenFormCodZam><status>OK</status>"));
    ClearPersonalMessage(context, *slot);
    EXPECT_EQ(TDANI::ScalarText(context.danni.GPRS_RIZNE, QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT")),
              QString());

    const QString message = QStringLiteral("Водій не приїхав, чекав 20 хв. Прошу розібратись з 'Стандартом'");
    now = now.addSecs(60);
    SendMessageToService(context, *slot,
                         "<SendMsgFormCodZam>" + win1251::fromUnicode(message).toBase64() + "</SendMsgFormCodZam>", now);
    SendMessageToService(context, *slot, "<SendMsgFormCodZam></SendMsgFormCodZam>", now);
    TDANI::Select(context.danni.GPRS_RIZNE, QStringLiteral("SELECT * FROM TABLE_SKARGA"));
    fb::Query &row = context.danni.GPRS_RIZNE;
    ASSERT_EQ(row.recordCount(), 1);
    EXPECT_EQ(row.field(QStringLiteral("TABLE_SKARGA_NP")).asInt(), 1);
    EXPECT_EQ(row.field(QStringLiteral("TABLE_SKARGA_VIDPOV")).asText(), QStringLiteral("-"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_SKARGA_DATA")).asText(), QStringLiteral("14.03.2026"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_SKARGA_TIME")).asText(), QStringLiteral("09:31:00"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_SKARGA_KOD")).asText(), QStringLiteral("00101"));
    EXPECT_EQ(row.field(QStringLiteral("TABLE_SKARGA_TEXT")).asText(),
              QStringLiteral("Призначено для : [---]\rДати відповідь : [---]\r\r")
                  + QString(message).replace(u'\'', u'^'));
    row.close();
    EXPECT_EQ(context.danni.complaintCount, QStringLiteral("1"));

    Logout(context, *slot, QStringLiteral("10.0.0.7"), now);
    EXPECT_FALSE(slot->loggedIn());
    EXPECT_FALSE(slot->Coded);
    EXPECT_TRUE(slot->FIO.isEmpty());
    EXPECT_EQ(slot->TimeVihid, now.addSecs(10 * 60));
    EXPECT_EQ(activEnd(), QStringLiteral("14.03.2026 09:41:00"));
}

}  // namespace
