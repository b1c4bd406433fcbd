#include "mobile/java_settings_news.h"

#include "common/text64.h"
#include "mobile/java_framing.h"
#include "shell/server_settings.h"

namespace {

QByteArray textElement(const char *tag, const QString &value) { return JavaElement(tag, EncodeText64(value)); }

QByteArray flagElement(const char *tag, bool one) { return JavaElement(tag, one ? "1" : "0"); }

}  // namespace

QByteArray SettingServerAnswer(const ServerSettings &s)
{
    QByteArray answer = "<OtvetSettingServer>";
    answer += textElement("NameTaxi", s.NAME_FIRMA);
    answer += textElement("AdressTaxi", s.ADRESS_FIRMA);
    answer += textElement("PhoneTaxi", s.TELEFON_FIRMA);
    answer += textElement("TarifTaxi", s.MAIN_TARIF);
    answer += textElement("MsgForVsih", s.POVIDOML_PRI_ZAPUSKU);
    answer += textElement("ChasDozvilYuvileika", s.ROZKLAD_YUVILEYOK);
    answer += textElement("TextPozdZDnemNarod", s.DAY_NARODZHENYA);
    answer += flagElement("DozvilSpeedZam", !s.BLOK_SHVIDK_ZAMOV);
    answer += flagElement("DozvilCodZam", !s.BLOK_KODOVAN_ZAMOV);
    answer += flagElement("DozvilReestraciya", !s.BLOK_REESTRACIYA);
    answer += flagElement("DozvilPokazPovidoml", s.POKAZ_OSOBIST_POVID_KLIENTU);
    answer += flagElement("DozvilClearPovidoml", s.DELETE_OSOBIST_POVID_AFTEROPENPROGRAM);
    answer += flagElement("DozvilPozdorovlZFnemNarod", s.POZDOROVLENNYA_Z_DNEM_NAROD);
    answer += flagElement("DozvilZamovYuvileyka", s.DOSTUP_ZAKAZ_YUVILEYLA);
    answer += flagElement("DozvilPoperedProrah", s.DOZVIL_POCHATK_ROZR_SUMA);
    answer += QByteArray("<DozvilZamBezCoda>") + (s.DOZVIL_ZAM_PO_DANIH_TELEFONA ? '1' : '0') + "</>";
    answer += "</OtvetSettingServer>";
    return answer;
}

QString JavaNewsText(const QString &news)
{
    if (news.isEmpty())
        return {};
    QString text;
    for (const QString &line : news.split(u'\n'))
        text += line + QStringLiteral("\r\n");
    return text;
}

QByteArray NewsAnswer(const QString &newsText)
{
    return "<DataNews>" + EncodeText64(newsText) + "</DataNews>";
}
