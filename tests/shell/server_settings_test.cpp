#include "common/ini_file.h"
#include "common/win1251.h"
#include "scripted_prompt.h"
#include "shell/server_settings.h"
#include "temp_dir.h"
#include "file_size_limit.h"

#include <QDir>

#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kMissing = QStringLiteral("Не найдено файл SETSERVER.INI для звязку з головною базою !!!");

class SettingsTest : public ::testing::Test {
protected:
    QString iniPath() const { return dir.filePath(QStringLiteral("SETSERVER.INI")); }
    void writeBytes(const QByteArray &bytes) const
    {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray fileBytes() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    kvtest::TempDir dir;
    kvtest::ScriptedPrompt prompt;
    ServerSettings settings = ServerSettings::pageDefaults();
};

TEST_F(SettingsTest, MissingFileIsReportedAndRefused)
{
    EXPECT_FALSE(LoadSettings(settings, dir.path(), prompt));
    EXPECT_EQ(prompt.messages, QStringList{kMissing});
}

TEST_F(SettingsTest, AFileThatCannotBeReadIsReportedAsMissing)
{
    // Unreadable for root too: a folder where the file should be.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("SETSERVER.INI")));
    settings.LOGIN = QStringLiteral("SYSDBA");
    EXPECT_FALSE(LoadSettings(settings, dir.path(), prompt));
    EXPECT_EQ(prompt.messages, QStringList{kMissing});
    EXPECT_TRUE(settings.LOGIN.isEmpty());
}

TEST_F(SettingsTest, DatabaseSectionsAloneGiveEveryDefault)
{
    writeBytes("[SHLYAH_BAZA]\r\nSERVER=srv:\r\nPATH_BAZA=C:\\BAZA\r\nNAME_BAZA=TAXI.FDB\r\n"
               "[SET_SERV]\r\nLOGIN=SYSDBA\r\nPASS=pw\r\n");
    settings.MAIN_TARIF = QStringLiteral("left from before");
    ASSERT_TRUE(LoadSettings(settings, dir.path(), prompt));
    EXPECT_TRUE(prompt.messages.isEmpty());
    EXPECT_EQ(settings.SERVER, QStringLiteral("srv:"));
    EXPECT_EQ(settings.PATH_BAZA, QStringLiteral("C:\\BAZA"));
    EXPECT_EQ(settings.PASS, QStringLiteral("pw"));
    EXPECT_EQ(settings.PORT_WEB_SERVERA, QStringLiteral("8888"));
    EXPECT_EQ(settings.PORT_JAVA_SERVERA, QStringLiteral("8888"));
    EXPECT_TRUE(settings.CLOSE_SERVER);
    EXPECT_TRUE(settings.ZAGRUZKA_REMONT_ROBIT);
    EXPECT_FALSE(settings.DOZVIL_POCHATK_ROZR_SUMA);
    EXPECT_EQ(settings.MISTO, QStringLiteral("Луцьк"));
    EXPECT_EQ(settings.TIMER_REFLESH_DATA_KODOV_ZAM, QStringLiteral("60"));
    EXPECT_EQ(settings.ROUTE_HOST, QString::fromLatin1(kDefaultRouteHost));
    EXPECT_TRUE(settings.MAIN_TARIF.isEmpty());
    EXPECT_EQ(settings.ROZKLAD_YUVILEYOK,
              QStringLiteral("[00][01][02][03][04][05][06][07][08][09][10][11][12][13][14][15]"
                             "[16][17][18][19][20][21][22][23]"));

    // Without a tariff nothing is saved and nothing is asked.
    EXPECT_FALSE(SaveSettings(settings, dir.path(), prompt));
    EXPECT_EQ(prompt.messages.value(0),
              QStringLiteral("Не задано дозволений тариф для замовлень. Після виправлення повторіть спробу !"));
    EXPECT_TRUE(prompt.questions.isEmpty());
}

TEST_F(SettingsTest, ReadsTheEarlierProgramsWindows1251File)
{
    writeBytes(win1251::fromUnicode(QStringLiteral(
        "[SET_FIRMA]\r\nNAME_FIRMA=Таксі \"Світанок\", ТОВ\r\nADRESS_FIRMA=м. Луцьк, вул. Крем'янецька, 5\r\n"
        "[DOSTUP]\r\nMAIN_TARIF=Стандарт\r\nZAGRUZKA_REMONT_ROBIT=0\r\nBLOK_REESTRACIYA=5\r\n"
        "DOZVIL_POCHATK_ROZR_SUMA=так\r\nDOSTUP_ZAKAZ_YUVILEYLA=1\r\n"
        "MAX_ZAMOVLEN_Z_ADRESY=50\r\nADRESY_BEZ_LIMITU=10.0.0.0/8\r\n"
        "[DOSTUP_JAVA]\r\nMAX_KIL_ZEDNAYA=40\r\nCLOSE_SERVER=0\r\n")));
    ASSERT_TRUE(LoadSettings(settings, dir.path(), prompt));
    EXPECT_EQ(settings.NAME_FIRMA, QStringLiteral("Таксі \"Світанок\", ТОВ"));
    EXPECT_EQ(settings.ADRESS_FIRMA, QStringLiteral("м. Луцьк, вул. Крем'янецька, 5"));
    EXPECT_EQ(settings.MAIN_TARIF, QStringLiteral("Стандарт"));
    EXPECT_FALSE(settings.ZAGRUZKA_REMONT_ROBIT);
    EXPECT_TRUE(settings.BLOK_REESTRACIYA);           // any number but 0 is true
    EXPECT_FALSE(settings.DOZVIL_POCHATK_ROZR_SUMA);  // a word gives the default
    EXPECT_TRUE(settings.DOSTUP_ZAKAZ_YUVILEYLA);
    EXPECT_EQ(settings.JAVA_MAX_KIL_ZEDNAYA, QStringLiteral("40"));
    EXPECT_EQ(settings.MAX_KIL_ZEDNAYA, QStringLiteral("1"));  // same key, other section
    EXPECT_FALSE(settings.CLOSE_SERVER);

    // Saving writes back in the file's own encoding, keys in place.
    prompt.answers = {true};
    settings.TELEFON_FIRMA = QStringLiteral("0332 77-77-77, 0332 78-78-78");
    ASSERT_TRUE(SaveSettings(settings, dir.path(), prompt));
    EXPECT_EQ(prompt.questions, QStringList{QStringLiteral("Зберегти зміни налаштувань ???")});
    const QString text = win1251::toUnicode(fileBytes());
    EXPECT_TRUE(text.contains(QStringLiteral("NAME_FIRMA=Таксі \"Світанок\", ТОВ")));
    EXPECT_TRUE(text.contains(QStringLiteral("TELEFON_FIRMA=0332 77-77-77, 0332 78-78-78")));
    EXPECT_TRUE(text.contains(QStringLiteral("DOZVIL_POCHATK_ROZR_SUMA=0")));
    // Keys kept by hand, not on the page, stay as they were.
    EXPECT_TRUE(text.contains(QStringLiteral("MAX_ZAMOVLEN_Z_ADRESY=50\r\nADRESY_BEZ_LIMITU=10.0.0.0/8")));

    ServerSettings again = ServerSettings::pageDefaults();
    ASSERT_TRUE(LoadSettings(again, dir.path(), prompt));
    EXPECT_EQ(again.TELEFON_FIRMA, settings.TELEFON_FIRMA);
    EXPECT_EQ(again.ADRESS_FIRMA, settings.ADRESS_FIRMA);
}

TEST_F(SettingsTest, SaveStopsAtTheFirstNumberThatIsNotWhole)
{
    writeBytes("[SHLYAH_BAZA]\nSERVER=\n");
    settings.MAIN_TARIF = QStringLiteral("Стандарт");
    settings.NAME_FIRMA = QStringLiteral("Firm");
    settings.PORT_WEB_SERVERA = QStringLiteral("80a");
    settings.MAX_KIL_ZEDNAYA = QStringLiteral("77");
    prompt.answers = {true};
    EXPECT_FALSE(SaveSettings(settings, dir.path(), prompt));
    EXPECT_EQ(prompt.messages.value(0),
              QStringLiteral("Невірно уведені або не заповнені всі дані. Після зміни даних повторіть спробу !"));

    IniFile ini(iniPath());
    EXPECT_EQ(ini.readString("SET_FIRMA", "NAME_FIRMA", "?"), QStringLiteral("Firm"));
    EXPECT_EQ(ini.readString("SET_FIRMA", "MISTO", "?"), QStringLiteral("Луцьк"));
    EXPECT_EQ(ini.readString("DOSTUP", "PORT_WEB_SERVERA", "?"), QStringLiteral("?"));
    EXPECT_EQ(ini.readString("DOSTUP", "MAX_KIL_ZEDNAYA", "?"), QStringLiteral("?"));
}

TEST_F(SettingsTest, ASaveTheFileRefusesIsReportedNotClaimed)
{
    writeBytes("[SET_FIRMA]\r\nNAME_FIRMA=Old\r\n");
    settings.MAIN_TARIF = QStringLiteral("Стандарт");
    settings.NAME_FIRMA = QStringLiteral("New");
    prompt.answers = {true};
    const kvtest::FileSizeLimit full(8);
    EXPECT_FALSE(SaveSettings(settings, dir.path(), prompt));
    EXPECT_TRUE(prompt.messages.value(0).startsWith(QStringLiteral("Налаштування не збережено")));
    EXPECT_EQ(fileBytes(), QByteArray("[SET_FIRMA]\r\nNAME_FIRMA=Old\r\n"));
}

TEST_F(SettingsTest, AnswerNoWritesNothingAndDatabaseKeysAreNeverWritten)
{
    settings.MAIN_TARIF = QStringLiteral("Стандарт");
    settings.LOGIN = QStringLiteral("should-not-appear");
    prompt.answers = {false};
    EXPECT_FALSE(SaveSettings(settings, dir.path(), prompt));
    EXPECT_FALSE(QFile::exists(iniPath()));

    prompt.answers = {true};
    EXPECT_TRUE(SaveSettings(settings, dir.path(), prompt));
    const QByteArray bytes = fileBytes();
    EXPECT_FALSE(bytes.contains("should-not-appear"));
    EXPECT_FALSE(bytes.contains("SHLYAH_BAZA"));
    // Numbers are written as decimal integers, blanks gone.
    EXPECT_TRUE(bytes.contains("PORT_WEB_SERVERA=8888"));
    EXPECT_LT(bytes.indexOf("NAME_FIRMA"), bytes.indexOf("PORT_WEB_SERVERA"));
    EXPECT_EQ(IniFile(iniPath()).readString("DOSTUP", "MAIN_TARIF", "?"), QStringLiteral("Стандарт"));
}

TEST(ProductSite, OnlyAWebAddressIsLinked)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", ""}, {" http://taxi.example.ua ", "http://taxi.example.ua"}, {"javascript:alert(1)", ""}, {"taxi.ua", ""}};
    for (const auto &[setting, site] : cases) {
        ServerSettings settings = ServerSettings::pageDefaults();
        settings.SAIT_PROGRAMY = settings.SAIT_PROGRAMY + QString::fromUtf8(setting);  // empty by default
        EXPECT_EQ(ProductSite(settings).toString(), QString::fromUtf8(site)) << setting;
    }
}

TEST_F(SettingsTest, DefaultAdvertComesBackFromTheFile)
{
    writeBytes("[REKLAMA]\nURL_IMG=http://a/img.png\nURL_SAIT=http://a\nTEXT_REKLAMA=Default\n"
               "OPEN_OBROBKA_REKLAMA=1\n");
    settings.URL_IMG = QStringLiteral("rotated.png");
    settings.TEXT_REKLAMA = QStringLiteral("rotated");
    RestoreDefaultAdvert(settings, dir.path());
    EXPECT_EQ(settings.URL_IMG, QStringLiteral("http://a/img.png"));
    EXPECT_EQ(settings.TEXT_REKLAMA, QStringLiteral("Default"));
    EXPECT_TRUE(settings.TEXT_ZNIZU_REKLAMY.isEmpty());
    EXPECT_TRUE(settings.OPEN_OBROBKA_REKLAMA);

    kvtest::TempDir empty;
    settings.URL_IMG = QStringLiteral("rotated.png");
    RestoreDefaultAdvert(settings, empty.path());
    EXPECT_EQ(settings.URL_IMG, QStringLiteral("rotated.png"));
}

}  // namespace
