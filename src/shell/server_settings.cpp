#include "shell/server_settings.h"

#include "common/ini_file.h"
#include "common/prompt.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

enum class Kind { Text, Number, Flag };

struct Key {
    const char *section;
    const char *name;
    Kind kind;
    QString ServerSettings::*text = nullptr;
    bool ServerSettings::*flag = nullptr;
};

constexpr Key text(const char *section, const char *name, QString ServerSettings::*member)
{
    return {section, name, Kind::Text, member, nullptr};
}
constexpr Key number(const char *section, const char *name, QString ServerSettings::*member)
{
    return {section, name, Kind::Number, member, nullptr};
}
constexpr Key flag(const char *section, const char *name, bool ServerSettings::*member)
{
    return {section, name, Kind::Flag, nullptr, member};
}

using S = ServerSettings;

// In the order of the settings page, which is the order they are read in.
const Key kKeys[] = {
    text("SHLYAH_BAZA", "SERVER", &S::SERVER),
    text("SHLYAH_BAZA", "PATH_BAZA", &S::PATH_BAZA),
    text("SHLYAH_BAZA", "NAME_BAZA", &S::NAME_BAZA),
    number("SHLYAH_BAZA", "CHAS_OBNOVL_KLIENTIV", &S::CHAS_OBNOVL_KLIENTIV),
    number("SHLYAH_BAZA", "CHAS_OCHIKUVANNYA_BAZY", &S::CHAS_OCHIKUVANNYA_BAZY),
    text("SET_SERV", "LOGIN", &S::LOGIN),
    text("SET_SERV", "PASS", &S::PASS),
    text("WEB", "TRUSTED_PROXIES", &S::TRUSTED_PROXIES),
    text("WEB", "HEALTH_FROM", &S::HEALTH_FROM),
    text("SET_FIRMA", "NAME_FIRMA", &S::NAME_FIRMA),
    text("SET_FIRMA", "ADRESS_FIRMA", &S::ADRESS_FIRMA),
    text("SET_FIRMA", "TELEFON_FIRMA", &S::TELEFON_FIRMA),
    text("SET_FIRMA", "POVIDOML_PRI_ZAPUSKU", &S::POVIDOML_PRI_ZAPUSKU),
    text("SET_FIRMA", "MISTO", &S::MISTO),
    text("SET_FIRMA", "ROUTE_HOST", &S::ROUTE_HOST),
    text("SET_FIRMA", "SAIT_PROGRAMY", &S::SAIT_PROGRAMY),
    number("SET_FIRMA", "MAX_ZAPYTIV_MARSHRUTU", &S::MAX_ZAPYTIV_MARSHRUTU),
    number("DOSTUP", "PORT_WEB_SERVERA", &S::PORT_WEB_SERVERA),
    flag("DOSTUP", "ZAGRUZKA_REMONT_ROBIT", &S::ZAGRUZKA_REMONT_ROBIT),
    number("DOSTUP", "MAX_KIL_ZEDNAYA", &S::MAX_KIL_ZEDNAYA),
    number("DOSTUP", "MAX_CHAS_NEKODOVANOGO_ZEDN", &S::MAX_CHAS_NEKODOVANOGO_ZEDN),
    number("DOSTUP", "MAX_CHAS_KODOVANOGO_ZEDN", &S::MAX_CHAS_KODOVANOGO_ZEDN),
    number("DOSTUP", "KIL_LOG_POZ", &S::KIL_LOG_POZ),
    text("DOSTUP", "MAIN_TARIF", &S::MAIN_TARIF),
    flag("DOSTUP", "DOSTUP_ZAKAZ_YUVILEYLA", &S::DOSTUP_ZAKAZ_YUVILEYLA),
    text("DOSTUP", "ROZKLAD_YUVILEYOK", &S::ROZKLAD_YUVILEYOK),
    flag("DOSTUP", "DOZVIL_ZAM_PO_DANIH_TELEFONA", &S::DOZVIL_ZAM_PO_DANIH_TELEFONA),
    flag("DOSTUP", "DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI",
         &S::DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI),
    flag("DOSTUP", "BLOK_SHVIDK_ZAMOV", &S::BLOK_SHVIDK_ZAMOV),
    flag("DOSTUP", "BLOK_KODOVAN_ZAMOV", &S::BLOK_KODOVAN_ZAMOV),
    flag("DOSTUP", "BLOK_REESTRACIYA", &S::BLOK_REESTRACIYA),
    flag("DOSTUP", "ZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM", &S::ZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM),
    flag("DOSTUP", "DOZVIL_POCHATK_ROZR_SUMA", &S::DOZVIL_POCHATK_ROZR_SUMA),
    number("DOSTUP", "KIL_SPROB_PRORAH", &S::KIL_SPROB_PRORAH),
    number("DOSTUP", "MAX_POMYLOK_VHODU_Z_ADRESY", &S::MAX_POMYLOK_VHODU_Z_ADRESY),
    number("DOSTUP", "MAX_ZAMOVLEN_Z_ADRESY", &S::MAX_ZAMOVLEN_Z_ADRESY),
    text("DOSTUP", "ADRESY_BEZ_LIMITU", &S::ADRESY_BEZ_LIMITU),
    number("DOSTUP", "MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO", &S::MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO),
    number("DOSTUP", "MAX_ZAYAVOK_Z_ADRESY", &S::MAX_ZAYAVOK_Z_ADRESY),
    number("DOSTUP", "MAX_DNIV_POPEREDNYOGO", &S::MAX_DNIV_POPEREDNYOGO),
    number("DOSTUP", "MAX_ROZMIR_LOG_MB", &S::MAX_ROZMIR_LOG_MB),
    number("DOSTUP", "MAX_ZEDNAN_Z_ADRESY", &S::MAX_ZEDNAN_Z_ADRESY),
    number("DOSTUP_JAVA", "PORT_JAVA_SERVERA", &S::PORT_JAVA_SERVERA),
    flag("DOSTUP_JAVA", "CLOSE_SERVER", &S::CLOSE_SERVER),
    number("DOSTUP_JAVA", "MAX_KIL_ZEDNAYA", &S::JAVA_MAX_KIL_ZEDNAYA),
    number("DOSTUP_JAVA", "MAX_CHAS_NEKODOVANOGO_ZEDN", &S::JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN),
    number("DOSTUP_JAVA", "MAX_CHAS_KODOVANOGO_ZEDN", &S::JAVA_MAX_CHAS_KODOVANOGO_ZEDN),
    number("DOSTUP_JAVA", "KIL_LOG_POZ", &S::JAVA_KIL_LOG_POZ),
    text("SETKLIENT", "DAY_NARODZHENYA", &S::DAY_NARODZHENYA),
    text("SETKLIENT", "POVID_PRI_CREAT_ACCAUNT", &S::POVID_PRI_CREAT_ACCAUNT),
    number("SETKLIENT", "KOD_VIDRAHUNOK_STVOR_NEW_KOD", &S::KOD_VIDRAHUNOK_STVOR_NEW_KOD),
    number("SETKLIENT", "CHAS_ZAKRITTYA_ZAM", &S::CHAS_ZAKRITTYA_ZAM),
    number("SETKLIENT", "TIMER_REFLESH_DATA_SHVIDK_ZAM", &S::TIMER_REFLESH_DATA_SHVIDK_ZAM),
    number("SETKLIENT", "TIMER_REFLESH_DATA_KODOV_ZAM", &S::TIMER_REFLESH_DATA_KODOV_ZAM),
    flag("SETKLIENT", "POKAZ_OSOBIST_POVID_KLIENTU", &S::POKAZ_OSOBIST_POVID_KLIENTU),
    flag("SETKLIENT", "DELETE_OSOBIST_POVID_AFTEROPENPROGRAM",
         &S::DELETE_OSOBIST_POVID_AFTEROPENPROGRAM),
    flag("SETKLIENT", "POZDOROVLENNYA_Z_DNEM_NAROD", &S::POZDOROVLENNYA_Z_DNEM_NAROD),
    text("REKLAMA", "URL_IMG", &S::URL_IMG),
    text("REKLAMA", "URL_SAIT", &S::URL_SAIT),
    text("REKLAMA", "TEXT_REKLAMA", &S::TEXT_REKLAMA),
    text("REKLAMA", "TEXT_ZNIZU_REKLAMY", &S::TEXT_ZNIZU_REKLAMY),
    flag("REKLAMA", "OPEN_OBROBKA_REKLAMA", &S::OPEN_OBROBKA_REKLAMA),
};

// The save writes the firm, the connection limits, then the order rules, the client
// texts and the advert; the database keys are never written. The keys of this platform
// go last so that files of the earlier program get the same keys in the same order.
const char *const kSaveOrder[][2] = {
    {"SET_FIRMA", "NAME_FIRMA"}, {"SET_FIRMA", "ADRESS_FIRMA"}, {"SET_FIRMA", "TELEFON_FIRMA"},
    {"SET_FIRMA", "POVIDOML_PRI_ZAPUSKU"}, {"SET_FIRMA", "MISTO"},
    {"DOSTUP", "PORT_WEB_SERVERA"}, {"DOSTUP", "ZAGRUZKA_REMONT_ROBIT"},
    {"DOSTUP", "MAX_KIL_ZEDNAYA"}, {"DOSTUP", "MAX_CHAS_NEKODOVANOGO_ZEDN"},
    {"DOSTUP", "MAX_CHAS_KODOVANOGO_ZEDN"}, {"DOSTUP", "KIL_LOG_POZ"},
    {"DOSTUP_JAVA", "PORT_JAVA_SERVERA"}, {"DOSTUP_JAVA", "CLOSE_SERVER"},
    {"DOSTUP_JAVA", "MAX_KIL_ZEDNAYA"}, {"DOSTUP_JAVA", "MAX_CHAS_NEKODOVANOGO_ZEDN"},
    {"DOSTUP_JAVA", "MAX_CHAS_KODOVANOGO_ZEDN"}, {"DOSTUP_JAVA", "KIL_LOG_POZ"},
    {"DOSTUP", "MAIN_TARIF"}, {"DOSTUP", "DOSTUP_ZAKAZ_YUVILEYLA"},
    {"DOSTUP", "ROZKLAD_YUVILEYOK"}, {"DOSTUP", "DOZVIL_ZAM_PO_DANIH_TELEFONA"},
    {"DOSTUP", "DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI"}, {"DOSTUP", "BLOK_SHVIDK_ZAMOV"},
    {"DOSTUP", "BLOK_KODOVAN_ZAMOV"}, {"DOSTUP", "BLOK_REESTRACIYA"},
    {"DOSTUP", "ZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM"}, {"DOSTUP", "DOZVIL_POCHATK_ROZR_SUMA"},
    {"DOSTUP", "KIL_SPROB_PRORAH"},
    {"SETKLIENT", "DAY_NARODZHENYA"}, {"SETKLIENT", "POVID_PRI_CREAT_ACCAUNT"},
    {"SETKLIENT", "KOD_VIDRAHUNOK_STVOR_NEW_KOD"}, {"SETKLIENT", "CHAS_ZAKRITTYA_ZAM"},
    {"SETKLIENT", "TIMER_REFLESH_DATA_SHVIDK_ZAM"}, {"SETKLIENT", "TIMER_REFLESH_DATA_KODOV_ZAM"},
    {"SETKLIENT", "POKAZ_OSOBIST_POVID_KLIENTU"},
    {"SETKLIENT", "DELETE_OSOBIST_POVID_AFTEROPENPROGRAM"},
    {"SETKLIENT", "POZDOROVLENNYA_Z_DNEM_NAROD"},
    {"REKLAMA", "URL_IMG"}, {"REKLAMA", "URL_SAIT"}, {"REKLAMA", "TEXT_REKLAMA"},
    {"REKLAMA", "TEXT_ZNIZU_REKLAMY"}, {"REKLAMA", "OPEN_OBROBKA_REKLAMA"},
    {"SET_FIRMA", "ROUTE_HOST"}, {"SET_FIRMA", "SAIT_PROGRAMY"},
};

const Key &keyOf(const char *section, const char *name)
{
    for (const Key &key : kKeys)
        if (qstrcmp(key.section, section) == 0 && qstrcmp(key.name, name) == 0)
            return key;
    Q_UNREACHABLE();
}

QString filePath(const QString &folder) { return QDir(folder).filePath(kSettingsFile); }

const QString kMissingFile =
    QStringLiteral("Не найдено файл SETSERVER.INI для звязку з головною базою !!!");

}  // namespace

ServerSettings ServerSettings::pageDefaults()
{
    ServerSettings s;
    s.NAME_FIRMA = QStringLiteral("назва підприємства");
    s.ADRESS_FIRMA = QStringLiteral("адреса підприємства");
    s.TELEFON_FIRMA = QStringLiteral("контактні телефони");
    s.POVIDOML_PRI_ZAPUSKU = QStringLiteral(
        "Добрий день / вечір. Вітаємо Вас у системі замовлення послуг таксі "
        "диспетчерської служби ...");
    s.MISTO = QStringLiteral("Луцьк");
    s.ROUTE_HOST = QString::fromLatin1(kDefaultRouteHost);
    s.CHAS_OBNOVL_KLIENTIV = QStringLiteral("2");
    s.CHAS_OCHIKUVANNYA_BAZY = QStringLiteral("10");
    s.MAX_ZAPYTIV_MARSHRUTU = QStringLiteral("8");
    s.MAX_POMYLOK_VHODU_Z_ADRESY = QStringLiteral("20");
    s.MAX_ZAMOVLEN_Z_ADRESY = QStringLiteral("20");
    s.MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO = QStringLiteral("20");
    s.MAX_ZAYAVOK_Z_ADRESY = QStringLiteral("10");
    s.MAX_DNIV_POPEREDNYOGO = QStringLiteral("7");
    s.MAX_ROZMIR_LOG_MB = QStringLiteral("1024");
    s.PORT_WEB_SERVERA = QStringLiteral("8888");
    s.MAX_KIL_ZEDNAYA = QStringLiteral("1");
    s.MAX_CHAS_NEKODOVANOGO_ZEDN = QStringLiteral("10");
    s.MAX_CHAS_KODOVANOGO_ZEDN = QStringLiteral("30");
    s.KIL_LOG_POZ = QStringLiteral("5000");
    QString hours;
    for (int h = 0; h < 24; ++h)
        hours += QStringLiteral("[%1]").arg(h, 2, 10, QLatin1Char('0'));
    s.ROZKLAD_YUVILEYOK = hours;
    s.KIL_SPROB_PRORAH = QStringLiteral("5");
    s.PORT_JAVA_SERVERA = QStringLiteral("8888");
    s.JAVA_MAX_KIL_ZEDNAYA = QStringLiteral("1");
    s.JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN = QStringLiteral("10");
    s.JAVA_MAX_CHAS_KODOVANOGO_ZEDN = QStringLiteral("30");
    s.JAVA_KIL_LOG_POZ = QStringLiteral("5000");
    s.DAY_NARODZHENYA = QStringLiteral(
        "Поздоровляємо Вас з днем народження, бажаємо вам здоровя, довголіття ...");
    s.POVID_PRI_CREAT_ACCAUNT =
        QStringLiteral("Вітаємо вас у системі замовлень диспетчерської служби ...");
    s.KOD_VIDRAHUNOK_STVOR_NEW_KOD = QStringLiteral("0");
    s.CHAS_ZAKRITTYA_ZAM = QStringLiteral("10");
    s.TIMER_REFLESH_DATA_SHVIDK_ZAM = QStringLiteral("10");
    s.TIMER_REFLESH_DATA_KODOV_ZAM = QStringLiteral("60");
    return s;
}

std::optional<int> ServerSettings::toInt(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QStringList ServerSettings::addresses(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

bool LoadSettings(ServerSettings &settings, const QString &folder, Prompt &prompt)
{
    if (!QFileInfo::exists(filePath(folder))) {
        prompt.message(kMissingFile);
        return false;
    }
    IniFile ini(filePath(folder));
    // A file that is there but cannot be read is as good as missing: its defaults
    // would only lead to a misleading login error.
    if (!ini.readable()) {
        settings.LOGIN.clear();
        settings.PASS.clear();
        prompt.message(kMissingFile);
        return false;
    }
    const ServerSettings defaults = ServerSettings::pageDefaults();
    for (const Key &key : kKeys) {
        if (key.kind == Kind::Flag)
            settings.*key.flag = ini.readBool(key.section, key.name, defaults.*key.flag);
        else
            settings.*key.text = ini.readString(key.section, key.name, defaults.*key.text);
    }
    return true;
}

bool SaveSettings(const ServerSettings &settings, const QString &folder, Prompt &prompt)
{
    if (settings.MAIN_TARIF.isEmpty()) {
        prompt.message(QStringLiteral("Не задано дозволений тариф для замовлень. Після "
                                      "виправлення повторіть спробу !"));
        return false;
    }
    if (!prompt.question(QStringLiteral("Зберегти зміни налаштувань ???")))
        return false;

    IniFile ini(filePath(folder));
    for (const auto &entry : kSaveOrder) {
        const Key &key = keyOf(entry[0], entry[1]);
        switch (key.kind) {
        case Kind::Text:
            ini.writeString(key.section, key.name, settings.*key.text);
            break;
        case Kind::Flag:
            ini.writeBool(key.section, key.name, settings.*key.flag);
            break;
        case Kind::Number: {
            const std::optional<int> value = ServerSettings::toInt(settings.*key.text);
            if (!value) {
                prompt.message(QStringLiteral("Невірно уведені або не заповнені всі дані. "
                                              "Після зміни даних повторіть спробу !"));
                return false;
            }
            ini.writeInteger(key.section, key.name, *value);
            break;
        }
        }
        if (!ini.lastError().isEmpty()) {
            prompt.message(QStringLiteral("Налаштування не збережено: неможливо записати файл "
                                          "[SETSERVER.INI] (%1). Після виправлення повторіть спробу !")
                               .arg(ini.lastError()));
            return false;
        }
    }
    return true;
}

QUrl ProductSite(const ServerSettings &settings)
{
    const QUrl url(settings.SAIT_PROGRAMY.trimmed(), QUrl::StrictMode);
    const bool web = url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https");
    return web && !url.host().isEmpty() ? url : QUrl();
}

void RestoreDefaultAdvert(ServerSettings &settings, const QString &folder)
{
    if (!QFileInfo::exists(filePath(folder)))
        return;
    IniFile ini(filePath(folder));
    settings.URL_IMG = ini.readString("REKLAMA", "URL_IMG", QString());
    settings.URL_SAIT = ini.readString("REKLAMA", "URL_SAIT", QString());
    settings.TEXT_REKLAMA = ini.readString("REKLAMA", "TEXT_REKLAMA", QString());
    settings.TEXT_ZNIZU_REKLAMY = ini.readString("REKLAMA", "TEXT_ZNIZU_REKLAMY", QString());
    settings.OPEN_OBROBKA_REKLAMA = ini.readBool("REKLAMA", "OPEN_OBROBKA_REKLAMA", false);
}
