#include "web_service_fixture.h"

#include "adverts/advert_rotation.h"
#include "web/form_remontni_roboty.h"

#include <QDate>
#include <QFile>
#include <QImage>
#include <QTime>

namespace {

using namespace kvtest;

const QString kMain = QStringLiteral("MainWEB");
const QString kUnknown = QStringLiteral("Ви не зареєстровані у web системі і/або ваша заявка ще не оброблена "
                                        "модератором у випадку попередньої подачи заявки !");
const QString kLimit = QStringLiteral("Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних клієнта "
                                      "(підбір кода і пароля) !");

class PagesTest : public WebServiceTest {
protected:
    void SetUp() override
    {
        WebServiceTest::SetUp();
        const QString insert = QStringLiteral(
            "INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_TELEF, "
            "TABLE_KLIENT_BAN, TABLE_KLIENT_DATBAN, TABLE_KLIENT_TIMEBAN) VALUES (?, ?, ?, ?, ?, ?, ?)");
        sql(insert, {1, "00220", "pa'ss", "0501234567", "-", nullptr, nullptr});
        sql(insert, {2, "00330", "x", "0509999999", "+", QDate(2031, 5, 6), QTime(7, 8, 9)});
        sql(insert, {3, "ab<c", "p", "0", "-", nullptr, nullptr});
    }
    WebAnswer login(WebClient &client, const QString &code, const QString &password)
    {
        return client.click(kMain, QStringLiteral("IWButton2"),
                            {{QStringLiteral("IWEdit1"), code}, {QStringLiteral("IWEdit2"), password}});
    }
};

TEST_F(PagesTest, CodedLoginKnowsRightWrongAndBannedClientsWithQuotesInTheFields)
{
    WebClient client = browser();
    client.open();
    EXPECT_TRUE(login(client, QStringLiteral("00220"), QStringLiteral("pass")).body.contains(kUnknown));
    EXPECT_TRUE(login(client, QStringLiteral("0' OR ''='"), QStringLiteral("' OR ''='")).body.contains(kUnknown));
    // Longer than the field: never typed into the page, refused whole.
    EXPECT_TRUE(login(client, QStringLiteral("00220' OR '1'='1"), QStringLiteral("x"))
                    .body.contains(QStringLiteral("Невірні дані форми. Оновіть сторінку і повторіть спробу !")));
    // Compared as text: 220 is not 00220.
    EXPECT_TRUE(login(client, QStringLiteral("220"), QStringLiteral("pa'ss")).body.contains(kUnknown));

    const WebAnswer banned = login(client, QStringLiteral("00330"), QStringLiteral("x"));
    EXPECT_TRUE(banned.body.contains(QStringLiteral("Ви немаєте можливості увійти в систему web сервіса, так як ви "
                                                    "заблоковані до [06.05.2031 07:08:09]")))
        << banned.body.toStdString();
    EXPECT_GE(logIndex(QStringLiteral("] спроба входа блокованого клієнта з кодом [00330]. IP : 127.0.0.1")), 0);

    const WebAnswer in = login(client, QStringLiteral("00220"), QStringLiteral("pa'ss"));
    EXPECT_TRUE(in.body.contains(QStringLiteral("<title>Кодовані клієнти</title>"))) << in.body.toStdString();
    EXPECT_TRUE(in.body.contains(QStringLiteral("id=\"IWLabel14\" class=\"kv-label kv-value\">00220<")));
    EXPECT_GE(logIndex(QStringLiteral("] вхід у форму кодованого замовлення клієнта кодом [00220] з  IP : 127.0.0.1")), 0);
}

TEST_F(PagesTest, ACodeThatIsNoNumberFailsTheClickWithoutKeepingTheLock)
{
    WebClient client = browser();
    client.open();
    const WebAnswer failed = login(client, QStringLiteral("ab<c"), QStringLiteral("p"));
    EXPECT_TRUE(failed.body.contains(QStringLiteral("&#39;ab&lt;c&#39; is not a valid integer value"))) << failed.body.toStdString();
    // Another browser's page still gets the lock.
    WebClient other = browser();
    EXPECT_TRUE(other.open().body.contains(QStringLiteral("Головна сторінка")));
}

TEST_F(PagesTest, TheSixthEntryOfASessionEndsItEvenWithTheRightPassword)
{
    WebClient client = browser();
    client.open();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(login(client, QStringLiteral("1"), QStringLiteral("2")).body.contains(kUnknown));
    // Empty fields are no attempt.
    EXPECT_FALSE(login(client, QString(), QStringLiteral("2")).body.contains(kLimit));
    EXPECT_TRUE(login(client, QStringLiteral("00220"), QStringLiteral("pa'ss")).body.contains(kLimit));
    EXPECT_GE(logIndex(QStringLiteral("] ") + kLimit + QStringLiteral(" IP : 127.0.0.1")), 0);
    EXPECT_EQ(web.application().sessionCount(), 0);
}

TEST_F(PagesTest, BlockedButtonsSayWhyAndOpenButtonsLogTheEntry)
{
    WebClient client = browser();
    client.open();
    EXPECT_TRUE(client.click(kMain, QStringLiteral("IWButton1")).body.contains(QStringLiteral("<title>Швидке замовлення</title>")));
    EXPECT_GE(logIndex(QStringLiteral("] вхід у форму швидкого замовлення клієнта з  IP : 127.0.0.1")), 0);
    client.click(QStringLiteral("SpeedOrder"), QStringLiteral("IWImageButton1"));
    EXPECT_TRUE(client.click(kMain, QStringLiteral("IWButton3")).body.contains(QStringLiteral("<title>Реєстрація у web системі</title>")));
    EXPECT_GE(logIndex(QStringLiteral("] вхід у форму реєстрації у web системі клієнта з  IP : 127.0.0.1")), 0);
    client.click(QStringLiteral("Form_Reestracya"), QStringLiteral("IWImageButton1"));

    context.settings.BLOK_SHVIDK_ZAMOV = context.settings.BLOK_REESTRACIYA = context.settings.BLOK_KODOVAN_ZAMOV = true;
    EXPECT_TRUE(client.click(kMain, QStringLiteral("IWButton1"))
                    .body.contains(QStringLiteral("У даний час можливість швидкого замовлення заблоковано адміністратором !")));
    EXPECT_TRUE(client.click(kMain, QStringLiteral("IWButton3"))
                    .body.contains(QStringLiteral("У даний час реєстрація користувачів системи заблоковано адміністратором !")));
    EXPECT_TRUE(login(client, QStringLiteral("00220"), QStringLiteral("pa'ss"))
                    .body.contains(QStringLiteral("У даний час можливість кодованого замовлення заблоковано адміністратором !")));
}

TEST_F(PagesTest, AdvertsRotateOverActiveUnexpiredRowsAndTheLastOneStays)
{
    const QString insert = QStringLiteral("INSERT INTO TABLE_REKLAMA (TABLE_REK_NP, TABLE_REK_ACTIV, TABLE_REK_NAME, "
                                          "TABLE_REK_DATE, TABLE_REK_RIS, TABLE_REK_SAIT, TABLE_REK_TEXT) "
                                          "VALUES (?, ?, 'N', ?, ?, ?, ?)");
    const QDate today = QDate::currentDate();
    sql(insert, {1, "-", today, "one.png", "one.ua", "Один"});
    sql(insert, {2, "+", today.addDays(1), "two.png", "two.ua", "Два <b>"});
    sql(insert, {3, "+", today.addDays(-1), "three.png", "three.ua", "Три"});
    sql(insert, {5, "+", today, "five.png", "five.ua", "П'ять"});
    QStringList shown;
    for (int i = 0; i < 3; ++i) {
        ServiceLockGuard lock(ServiceLock());
        AdvanceAdvert(context);
        shown << QString::number(context.currentAdvert) + u':' + context.settings.TEXT_REKLAMA;
    }
    EXPECT_EQ(shown, (QStringList{QStringLiteral("2:Два <b>"), QStringLiteral("5:П'ять"), QStringLiteral("2:Два <b>")}));

    sql(QStringLiteral("UPDATE TABLE_REKLAMA SET TABLE_REK_DATE = ? WHERE TABLE_REK_NP = 5"), {today.addDays(-1)});
    sql(QStringLiteral("UPDATE TABLE_REKLAMA SET TABLE_REK_ACTIV = '-' WHERE TABLE_REK_NP = 2"));
    {
        ServiceLockGuard lock(ServiceLock());
        AdvanceAdvert(context);
    }
    EXPECT_EQ(context.currentAdvert, 0);
    EXPECT_EQ(context.settings.TEXT_REKLAMA, QStringLiteral("Два <b>"));
    EXPECT_EQ(context.settings.URL_SAIT, QStringLiteral("two.ua"));

    sql(QStringLiteral("UPDATE TABLE_REKLAMA SET TABLE_REK_ACTIV = '+' WHERE TABLE_REK_NP = 2"));
    context.settings.OPEN_OBROBKA_REKLAMA = true;
    QFile picture(folder.filePath(QStringLiteral("Files/two.png")));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();

    WebClient client = browser();
    const QString page = client.open().body;
    EXPECT_TRUE(page.contains(QStringLiteral(">Два &lt;b&gt;</textarea>"))) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("src=\"/files/two.png\" alt=\"\" width=\"194\" height=\"120\" title=\"two.ua\"")));
    const WebAnswer site = client.post(kMain, {{QStringLiteral("__async"), QStringLiteral("IWImageFile1")}}, "/async");
    EXPECT_TRUE(site.body.contains(QStringLiteral("\"open\":[\"http://two.ua\"]"))) << site.body.toStdString();

    context.settings.OPEN_OBROBKA_REKLAMA = false;
    // An advert whose picture is not there shows its text alone, never a broken image.
    context.settings.URL_IMG = QStringLiteral("missing.png");
    const QString textOnly = browser().open().body;
    EXPECT_TRUE(textOnly.contains(QStringLiteral("<span id=\"IWImageFile1\" hidden></span>")));
    EXPECT_TRUE(textOnly.contains(QStringLiteral("</textarea>")));
    context.settings.TEXT_REKLAMA.clear();
    const QString plain = browser().open().body;
    EXPECT_TRUE(plain.contains(QStringLiteral("<span id=\"IWImageFile1\" hidden></span>")));
    EXPECT_TRUE(plain.contains(QStringLiteral("НА ПРАВАХ РЕКЛАМИ")));
}

TEST_F(PagesTest, NewsAndCompanyPagesShowTheirTextsAndCountNewsEntries)
{
    QFile news(folder.filePath(QStringLiteral("NEWS.rtf")));
    ASSERT_TRUE(news.open(QIODevice::WriteOnly));
    news.write("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 \\'cd\\'ee\\'e2\\'e8\\'ed\\'e8 <i>\\par Second}");
    news.close();
    context.settings.NAME_FIRMA = QStringLiteral("Таксі \"Зірка\"");
    context.settings.ADRESS_FIRMA = QStringLiteral("вул. Садова, 1");

    WebClient client = browser();
    client.open();
    const WebAnswer page = client.click(kMain, QStringLiteral("IWImageButton2"));
    EXPECT_TRUE(page.body.contains(QStringLiteral("<title>Новини</title>")));
    EXPECT_TRUE(page.body.contains(QStringLiteral(">Новини &lt;i&gt;\nSecond</textarea>"))) << page.body.toStdString();
    EXPECT_EQ(context.accounts.values().newsEntries, QStringLiteral("1"));
    client.click(QStringLiteral("WebNews"), QStringLiteral("IWImageButton1"));
    client.click(kMain, QStringLiteral("IWImageButton2"));
    EXPECT_EQ(context.accounts.values().newsEntries, QStringLiteral("2"));
    client.click(QStringLiteral("WebNews"), QStringLiteral("IWImageButton1"));

    const WebAnswer company = client.click(kMain, QStringLiteral("IWImageButton6"));
    EXPECT_TRUE(company.body.contains(QStringLiteral("Таксі &quot;Зірка&quot;")));
    EXPECT_TRUE(company.body.contains(QStringLiteral("555-12-12")));
    EXPECT_TRUE(company.body.contains(QStringLiteral("<title>Дані диспетчерської служби</title>")));
}

TEST_F(PagesTest, MaintenanceIsTheStartPageWithItsPicture)
{
    context.startOnMaintenance = true;
    WebClient client = browser();
    const WebAnswer page = client.open();
    EXPECT_TRUE(page.body.contains(QStringLiteral("<title>Сайт на реконструкції ...</title>")));
    EXPECT_FALSE(page.body.contains(QStringLiteral("id=\"IWImageButton1\"")));
    httplib::Client raw("127.0.0.1", web.port());
    const auto picture = raw.Get("/zakaz/res/" + std::string(TForm_remontni_roboty::kPicture));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->get_header_value("Content-Type"), "image/jpeg");
    const QImage image = QImage::fromData(QByteArray::fromStdString(picture->body), "JPG");
    EXPECT_EQ(image.size(), QSize(600, 600));
}

}  // namespace
