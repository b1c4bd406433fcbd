#include "scripted_prompt.h"
#include "ui_test_support.h"

#include "common/ini_file.h"
#include "data/fb.h"
#include "shell/service_context.h"
#include "shell/ui/settings_page.h"
#include "shell/ui/tariff_combo_box.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class SettingsPageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    kvtest::ScriptedPrompt prompt;
    ServiceContext context{dir.path(), prompt};
    SettingsPage page{context};

    QString iniPath() const { return QDir(dir.path()).filePath(QStringLiteral("SETSERVER.INI")); }

    void writeIni(const QByteArray &text)
    {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    template <typename T> T *control(const char *name)
    {
        T *widget = page.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString text(const char *name) { return control<QLineEdit>(name)->text(); }
    QString label(const char *name) { return control<QLabel>(name)->text(); }
    TariffComboBox *tariff() { return control<TariffComboBox>("ComboBox3"); }

    void load()
    {
        ASSERT_TRUE(LoadSettings(context.settings, dir.path(), prompt));
        page.showLoadedSettings();
    }
};

const QByteArray kIni = R"([SHLYAH_BAZA]
SERVER=db.local:
PATH_BAZA=C:\TAXI\
NAME_BAZA=TAXI.FDB
[SET_SERV]
LOGIN=SYSDBA
PASS=masterkey
[SET_FIRMA]
NAME_FIRMA=Таксі Світязь
[DOSTUP]
PORT_WEB_SERVERA=8080
MAIN_TARIF=Нічний
BLOK_REESTRACIYA=1
[DOSTUP_JAVA]
CLOSE_SERVER=0
MAX_KIL_ZEDNAYA=40
[REKLAMA]
URL_IMG=http://ads.example/default.png
)";

TEST_F(SettingsPageTest, BeforeLoadShowsPageDefaultsAndNoDatabase)
{
    EXPECT_EQ(text("Edit12"), QStringLiteral("8888"));
    EXPECT_EQ(text("Edit16"), QStringLiteral("5000"));
    EXPECT_EQ(text("Edit3"), QStringLiteral("назва підприємства"));
    for (const char *name : {"Label21", "Label23", "Label22", "Label16", "Label15"})
        EXPECT_EQ(label(name), kNotSet) << name;
    EXPECT_EQ(tariff()->count(), 0);
}

TEST_F(SettingsPageTest, ShowsLoadedValuesDatabaseAndSavedTariffAlone)
{
    writeIni(kIni);
    load();

    EXPECT_EQ(text("Edit3"), QStringLiteral("Таксі Світязь"));
    EXPECT_EQ(text("Edit12"), QStringLiteral("8080"));
    EXPECT_EQ(text("Edit33"), QStringLiteral("40"));  // the mobile limit, not the web one
    EXPECT_EQ(text("Edit1"), QStringLiteral("1"));
    EXPECT_FALSE(control<QCheckBox>("CheckBox14")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("CheckBox9")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("CheckBox3")->isChecked());  // default of a missing key

    EXPECT_EQ(label("Label21"), QStringLiteral("db.local:"));
    EXPECT_EQ(label("Label23"), QStringLiteral("C:\\TAXI\\"));
    EXPECT_EQ(label("Label22"), QStringLiteral("TAXI.FDB"));
    EXPECT_EQ(label("Label16"), QStringLiteral("SYSDBA"));

    ASSERT_EQ(tariff()->count(), 1);
    EXPECT_EQ(tariff()->currentText(), QStringLiteral("Нічний"));
}

TEST_F(SettingsPageTest, DatabasePasswordIsMaskedUntilAskedFor)
{
    writeIni(kIni);
    load();
    auto *show = control<QToolButton>("PasswordShown");
    // Each step: the toggle pressed or not, then what the page shows after a refresh too.
    for (const bool shown : {false, true, false}) {
        show->setChecked(shown);
        for (int refreshed = 0; refreshed < 2; ++refreshed) {
            EXPECT_EQ(label("Label15").contains(QStringLiteral("masterkey")), shown) << shown << refreshed;
            EXPECT_FALSE(label("Label15").isEmpty());
            page.refresh();
        }
    }
    EXPECT_EQ(label("Label16"), QStringLiteral("SYSDBA")) << "the login is no secret";
}

TEST_F(SettingsPageTest, EditsReachTheSettingsAtOnce)
{
    TypeInto(control<QLineEdit>("Edit3"), QStringLiteral("Таксі Лесі"));
    TypeInto(control<QLineEdit>("Edit36"), QStringLiteral("9999"));
    TypeInto(control<QLineEdit>("Edit34"), QStringLiteral("15"));
    control<QCheckBox>("CheckBox5")->click();
    control<QCheckBox>("CheckBox14")->click();

    EXPECT_EQ(context.settings.NAME_FIRMA, QStringLiteral("Таксі Лесі"));
    EXPECT_EQ(context.settings.PORT_JAVA_SERVERA, QStringLiteral("9999"));
    EXPECT_EQ(context.settings.JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN, QStringLiteral("15"));
    EXPECT_EQ(context.settings.MAX_CHAS_NEKODOVANOGO_ZEDN, QStringLiteral("10"));
    EXPECT_TRUE(context.settings.DOSTUP_ZAKAZ_YUVILEYLA);
    EXPECT_FALSE(context.settings.CLOSE_SERVER);
}

TEST_F(SettingsPageTest, SaveWithoutTariffIsRefusedWithTheTariffMessage)
{
    control<QToolButton>("SpeedButton1")->click();

    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_EQ(
        prompt.messages.front(),
        QStringLiteral("Не задано дозволений тариф для замовлень. Після виправлення повторіть "
                       "спробу !"));
    EXPECT_TRUE(prompt.questions.isEmpty());
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(SettingsPageTest, SaveWritesWhatWasTypedAfterChoosingATariff)
{
    writeIni(kIni);
    load();
    page.setTariffSource([] {
        return QStringList{QStringLiteral("Міський"), QStringLiteral("Нічний")};
    });
    ASSERT_TRUE(page.ComboBox3DropDown());
    emit tariff()->textActivated(QStringLiteral("Міський"));
    TypeInto(control<QLineEdit>("Edit5"), QStringLiteral("+380 332 000000"));
    prompt.answers = {true};

    control<QToolButton>("SpeedButton1")->click();

    EXPECT_EQ(prompt.questions, QStringList{QStringLiteral("Зберегти зміни налаштувань ???")});
    IniFile ini(iniPath());
    EXPECT_EQ(ini.readString("DOSTUP", "MAIN_TARIF", QString()), QStringLiteral("Міський"));
    EXPECT_EQ(ini.readString("SET_FIRMA", "TELEFON_FIRMA", QString()),
              QStringLiteral("+380 332 000000"));
}

TEST_F(SettingsPageTest, OpeningTheTariffListClearsTheChoiceAndRefillsIt)
{
    writeIni(kIni);
    load();
    page.setTariffSource([] {
        return QStringList{QStringLiteral("Міський"), QStringLiteral("Нічний")};
    });

    ASSERT_TRUE(page.ComboBox3DropDown());

    EXPECT_TRUE(context.settings.MAIN_TARIF.isEmpty());
    EXPECT_EQ(tariff()->currentIndex(), -1);
    ASSERT_EQ(tariff()->count(), 2);
    EXPECT_EQ(tariff()->itemText(0), QStringLiteral("Міський"));

    emit tariff()->textActivated(QStringLiteral("Нічний"));
    EXPECT_EQ(context.settings.MAIN_TARIF, QStringLiteral("Нічний"));

    // Opening it again without a choice leaves no tariff, so a save is refused.
    ASSERT_TRUE(page.ComboBox3DropDown());
    EXPECT_TRUE(context.settings.MAIN_TARIF.isEmpty());
    EXPECT_EQ(tariff()->count(), 2);
}

TEST_F(SettingsPageTest, TariffListErrorIsShownAndLeavesTheListEmpty)
{
    page.setTariffSource(
        []() -> QStringList { throw fb::Error(QStringLiteral("Table unknown TARIFI")); });

    EXPECT_FALSE(page.ComboBox3DropDown());

    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("Table unknown TARIFI")});
    EXPECT_EQ(tariff()->count(), 0);
    EXPECT_TRUE(context.settings.MAIN_TARIF.isEmpty());
}

TEST_F(SettingsPageTest, RestoringTheAdvertShowsTheFileAdvertAgain)
{
    writeIni(kIni);
    load();
    // The rotation put another advert on show while the servers ran.
    context.settings.URL_IMG = QStringLiteral("http://ads.example/rotated.png");
    page.refresh();
    ASSERT_EQ(text("Edit8"), QStringLiteral("http://ads.example/rotated.png"));

    control<QToolButton>("SpeedButton20")->click();

    EXPECT_EQ(context.settings.URL_IMG, QStringLiteral("http://ads.example/default.png"));
    EXPECT_EQ(text("Edit8"), QStringLiteral("http://ads.example/default.png"));
}

}  // namespace

namespace {

TEST_F(SettingsPageTest, GroupsComeInPageOrderWithTheirButtons)
{
    QStringList titles;
    for (const QGroupBox *group : page.findChildren<QGroupBox *>())
        titles << group->title();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("  Дані підприємства ...  "),
                                   QStringLiteral("  Налаштування бази даних ...  "),
                                   QStringLiteral("  Налаштування зєднань JAVA SERVERA ...  "),
                                   QStringLiteral("  Налаштування зєднань WEB SERVERA ...  "),
                                   QStringLiteral("  Налаштування доступа до замовлень ...  "),
                                   QStringLiteral("  Налаштування реклами ...  ")}));

    EXPECT_EQ(control<QToolButton>("SpeedButton1")->toolTip(),
              QStringLiteral("Зберегти налаштування"));
    EXPECT_EQ(control<QToolButton>("SpeedButton20")->toolTip(),
              QStringLiteral("Відновити дані реклами по замовчюванні"));
}

}  // namespace
