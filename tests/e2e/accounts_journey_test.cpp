// From application to answered complaint against the real program: a client applies in
// Chromium, the operator's handling turns the request into an account while the program
// is stopped (the embedded engine opens the service database for one process at a time),
// the client logs in on the web and from the phone and complains from the phone, the
// operator answers, and the phone's next login shows the answer.

#include "common/extract_between.h"
#include "common/service_lock.h"
#include "data/database_names.h"
#include "headless_process.h"
#include "java_test_client.h"
#include "scripted_prompt.h"
#include "shell/complaints_handling.h"
#include "shell/registration_requests.h"
#include "shell/service_context.h"
#include "web_framework/web_client.h"

namespace {

using namespace kvtest;

class AccountsJourney : public HeadlessTest {
protected:
    void start()
    {
        run(QStringLiteral("[DOSTUP]\nPORT_WEB_SERVERA=%1\nZAGRUZKA_REMONT_ROBIT=0\nMAX_KIL_ZEDNAYA=5\n"
                           "[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=%2\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=5\n").arg(web).arg(java));
        ASSERT_TRUE(waitUntilAccepts(web, 60) && waitUntilAccepts(java, 10));
    }
    // The operator's part, on this process's own connections to both databases.
    template <class Work> void asOperator(Work &&work)
    {
        ScriptedPrompt prompt;
        prompt.answers = {true, true};
        ServiceContext context(folder.path(), prompt);
        const DatabaseLogin login{QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
        ASSERT_TRUE(context.danni.OpenDispatchBase(folder.dispatchDatabase(), login, prompt)
                    && context.danni.OpenServiceBase(ServiceDatabaseName(folder.path()), login, prompt));
        work(context);
        EXPECT_EQ(prompt.messages, QStringList());
    }
    // Logs the phone in (it may complain) and returns its personal message.
    QString phoneMessage(const QByteArray &complaint = {})
    {
        JavaTestClient phone;
        EXPECT_TRUE(phone.connectTo(java));
        phone.send("<CodClient>00105</CodClient><CodPass>kid5</CodPass></OpenFormCodZam>###<SendMsgFormCodZam>"
                   + complaint.toBase64() + "</SendMsgFormCodZam>###<DateFormCodZam>###");
        const QByteArray greeting = phone.answer();
        EXPECT_EQ(greeting + phone.answer(), "<OK!>@<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@");
        return QString::fromUtf8(QByteArray::fromBase64(ExtractBetween(phone.answer(), "<VhidMsg>", "</VhidMsg>")));
    }

    const int web = freePort(), java = freePort();
};

TEST_F(AccountsJourney, FromApplicationToAnsweredComplaint)
{
    start();
    QProcess chromium;
    chromium.start(QStringLiteral("node"), {QStringLiteral(KV_SOURCE_DIR "/tests/browser/apply_for_account.mjs"),
                                            QStringLiteral("http://127.0.0.1:%1/zakaz").arg(web), QStringLiteral("00105"),
                                            QStringLiteral("kid5"), QStringLiteral("0975556677"), QStringLiteral("O'Neil")});
    ASSERT_TRUE(chromium.waitForFinished(120000));
    if (chromium.exitCode() == 77)
        GTEST_SKIP() << "Chromium cannot run here";
    const QString shown = QString::fromUtf8(chromium.readAll());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Головна сторінка\nНемає можливості подати заявку, можливі помилки : \n"
                                                "<Не задано код клієнта>\n/<Не задано ваш пароль>")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("\nУспішна подача заявки на вхід у систему web сервіса.")));
    stop();

    asOperator([](ServiceContext &context) {
        RegistrationRequests requests(context);
        {
            ServiceLockGuard lock(ServiceLock());
            context.danni.SelectRow(TDANI::Grid::Zayavki, 1);
        }
        requests.GPRS_TABL_ZAYAVKIAfterScroll();
        EXPECT_EQ(requests.selection().clientName + requests.selection().note, QStringLiteral("Мельник Юрій ОлеговичO'Neil"));
        requests.SpeedButton35Click(QStringLiteral("Вітаємо у службі"));
    });
    start();
    WebClient browser(web);
    browser.open();
    EXPECT_TRUE(browser.click(QStringLiteral("MainWEB"), QStringLiteral("IWButton2"),
                              {{QStringLiteral("IWEdit1"), QStringLiteral("00105")}, {QStringLiteral("IWEdit2"), QStringLiteral("kid5")}})
                    .body.contains(QStringLiteral("id=\"IWLabel13\" class=\"kv-label kv-value\">0975556677<")));
    EXPECT_EQ(phoneMessage("The driver was late"), QStringLiteral("Вітаємо у службі"));
    stop();

    asOperator([](ServiceContext &context) {
        ComplaintsHandling complaints(context);
        {
            ServiceLockGuard lock(ServiceLock());
            context.danni.SelectRow(TDANI::Grid::Skarga, 1);
        }
        complaints.SpeedButton5Click(QStringLiteral("Вибачте.\nВодія покарано."));
    });
    start();
    EXPECT_EQ(phoneMessage(), QStringLiteral("Вибачте.\r\nВодія покарано."));
    stop();
}

}  // namespace
