#include "common/text64.h"
#include "mobile/java_settings_news.h"
#include "shell/server_settings.h"

#include <gtest/gtest.h>

namespace {

QByteArray flags(const ServerSettings &s)
{
    const QByteArray answer = SettingServerAnswer(s);
    return answer.mid(answer.indexOf("<DozvilSpeedZam>"));
}

TEST(SettingServerAnswer, BlockingFlagsGoOutInvertedAndTheOthersDirect)
{
    ServerSettings s;
    s.BLOK_SHVIDK_ZAMOV = s.BLOK_KODOVAN_ZAMOV = s.BLOK_REESTRACIYA = false;
    s.POKAZ_OSOBIST_POVID_KLIENTU = s.DELETE_OSOBIST_POVID_AFTEROPENPROGRAM = s.POZDOROVLENNYA_Z_DNEM_NAROD = false;
    s.DOSTUP_ZAKAZ_YUVILEYLA = s.DOZVIL_POCHATK_ROZR_SUMA = s.DOZVIL_ZAM_PO_DANIH_TELEFONA = false;
    EXPECT_EQ(flags(s), QByteArray("<DozvilSpeedZam>1</DozvilSpeedZam><DozvilCodZam>1</DozvilCodZam>"
                                   "<DozvilReestraciya>1</DozvilReestraciya><DozvilPokazPovidoml>0</DozvilPokazPovidoml>"
                                   "<DozvilClearPovidoml>0</DozvilClearPovidoml>"
                                   "<DozvilPozdorovlZFnemNarod>0</DozvilPozdorovlZFnemNarod>"
                                   "<DozvilZamovYuvileyka>0</DozvilZamovYuvileyka>"
                                   "<DozvilPoperedProrah>0</DozvilPoperedProrah><DozvilZamBezCoda>0</>"
                                   "</OtvetSettingServer>"));

    s.BLOK_SHVIDK_ZAMOV = s.BLOK_KODOVAN_ZAMOV = s.BLOK_REESTRACIYA = true;
    s.POKAZ_OSOBIST_POVID_KLIENTU = s.DELETE_OSOBIST_POVID_AFTEROPENPROGRAM = s.POZDOROVLENNYA_Z_DNEM_NAROD = true;
    s.DOSTUP_ZAKAZ_YUVILEYLA = s.DOZVIL_POCHATK_ROZR_SUMA = s.DOZVIL_ZAM_PO_DANIH_TELEFONA = true;
    EXPECT_EQ(flags(s), QByteArray("<DozvilSpeedZam>0</DozvilSpeedZam><DozvilCodZam>0</DozvilCodZam>"
                                   "<DozvilReestraciya>0</DozvilReestraciya><DozvilPokazPovidoml>1</DozvilPokazPovidoml>"
                                   "<DozvilClearPovidoml>1</DozvilClearPovidoml>"
                                   "<DozvilPozdorovlZFnemNarod>1</DozvilPozdorovlZFnemNarod>"
                                   "<DozvilZamovYuvileyka>1</DozvilZamovYuvileyka>"
                                   "<DozvilPoperedProrah>1</DozvilPoperedProrah><DozvilZamBezCoda>1</>"
                                   "</OtvetSettingServer>"));
}

TEST(SettingServerAnswer, TextsGoOutInTheirOrderAndAnEmptyTextLeavesAnEmptyElement)
{
    ServerSettings s;
    s.NAME_FIRMA.clear();
    s.ADRESS_FIRMA = QStringLiteral("a");
    s.TELEFON_FIRMA = QStringLiteral("b");
    s.MAIN_TARIF = QStringLiteral("c");
    s.POVIDOML_PRI_ZAPUSKU = QStringLiteral("d");
    s.ROZKLAD_YUVILEYOK = QStringLiteral("e");
    s.DAY_NARODZHENYA = QStringLiteral("f");
    const QByteArray answer = SettingServerAnswer(s);
    EXPECT_TRUE(answer.startsWith("<OtvetSettingServer><NameTaxi></NameTaxi><AdressTaxi>YQ==</AdressTaxi>"
                                  "<PhoneTaxi>Yg==</PhoneTaxi><TarifTaxi>Yw==</TarifTaxi><MsgForVsih>ZA==</MsgForVsih>"
                                  "<ChasDozvilYuvileika>ZQ==</ChasDozvilYuvileika>"
                                  "<TextPozdZDnemNarod>Zg==</TextPozdZDnemNarod><DozvilSpeedZam>"))
        << answer.toStdString();
}

TEST(JavaNewsText, EveryLineOfTheNewsEndsWithCrLf)
{
    EXPECT_EQ(JavaNewsText(QString()), QString());
    EXPECT_EQ(JavaNewsText(QStringLiteral("Нови\n\nsecond")), QStringLiteral("Нови\r\n\r\nsecond\r\n"));
    EXPECT_EQ(NewsAnswer(QStringLiteral("x\r\n")), "<DataNews>" + QByteArray("x\r\n").toBase64() + "</DataNews>");
}

}  // namespace
