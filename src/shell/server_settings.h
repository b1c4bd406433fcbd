#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class Prompt;

// The values of SETSERVER.INI as the operator's settings page shows them. Members
// are named by their INI keys; keys of the DOSTUP_JAVA section that repeat a DOSTUP
// key carry the prefix JAVA_. Numbers are kept as the text the operator typed and
// are converted where they are used. Readers running on web threads hold the
// service lock, like every writer does.
struct ServerSettings {
    // SHLYAH_BAZA, SET_SERV: read only, maintained in the file by hand.
    QString SERVER, PATH_BAZA, NAME_BAZA;
    QString LOGIN, PASS;
    // SHLYAH_BAZA, added for this platform: seconds between two reads of the dispatchers'
    // client list into memory; 0 keeps no list (every look-up asks the database).
    QString CHAS_OBNOVL_KLIENTIV;
    // SHLYAH_BAZA, added for this platform: the longest, in seconds, one call may wait for
    // the dispatchers' server (a network that went silent), and a locked row for either
    // database.
    QString CHAS_OCHIKUVANNYA_BAZY;
    // WEB, added for this platform and maintained by hand: addresses (separated by
    // commas or blanks) of the reverse proxies whose X-Forwarded-For is trusted, and of
    // the hosts besides this one that may ask GET /health.
    QString TRUSTED_PROXIES, HEALTH_FROM;

    // SET_FIRMA
    QString NAME_FIRMA, ADRESS_FIRMA, TELEFON_FIRMA, POVIDOML_PRI_ZAPUSKU, MISTO;
    // Added for this platform: the host of the online route page, and the product's
    // web site (logo and page footer; empty: no link).
    QString ROUTE_HOST;
    QString SAIT_PROGRAMY;
    // Added for this platform, by hand: page handlers that may wait for the route page at
    // once; 0: no limit.
    QString MAX_ZAPYTIV_MARSHRUTU;

    // DOSTUP
    QString PORT_WEB_SERVERA;
    bool ZAGRUZKA_REMONT_ROBIT = true;
    QString MAX_KIL_ZEDNAYA, MAX_CHAS_NEKODOVANOGO_ZEDN, MAX_CHAS_KODOVANOGO_ZEDN, KIL_LOG_POZ;
    QString MAIN_TARIF;
    bool DOSTUP_ZAKAZ_YUVILEYLA = false;
    QString ROZKLAD_YUVILEYOK;
    bool DOZVIL_ZAM_PO_DANIH_TELEFONA = false;
    bool DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI = false;
    bool BLOK_SHVIDK_ZAMOV = false;
    bool BLOK_KODOVAN_ZAMOV = false;
    bool BLOK_REESTRACIYA = false;
    bool ZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM = false;
    bool DOZVIL_POCHATK_ROZR_SUMA = false;
    QString KIL_SPROB_PRORAH;
    // Added for this platform, maintained by hand; 0 turns each off. Per client address:
    // failed logins in 10 minutes (phones and pages together), placed quick orders in 10
    // minutes (phones and pages apart), account applications and complaints in an hour;
    // the addresses and networks (CIDR) the order budget leaves alone; the open orders of a
    // coded account; how many days ahead a preliminary order may be; the size of LOG/ in MB.
    QString MAX_POMYLOK_VHODU_Z_ADRESY, MAX_ZAMOVLEN_Z_ADRESY, ADRESY_BEZ_LIMITU, MAX_AKTYVNYH_ZAMOVLEN_KODOVANOGO,
        MAX_ZAYAVOK_Z_ADRESY, MAX_DNIV_POPEREDNYOGO, MAX_ROZMIR_LOG_MB;
    // Web sessions one address may hold; empty: a tenth of MAX_KIL_ZEDNAYA, at least 2.
    QString MAX_ZEDNAN_Z_ADRESY;

    // DOSTUP_JAVA
    QString PORT_JAVA_SERVERA;
    bool CLOSE_SERVER = true;
    QString JAVA_MAX_KIL_ZEDNAYA, JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN, JAVA_MAX_CHAS_KODOVANOGO_ZEDN,
        JAVA_KIL_LOG_POZ;

    // SETKLIENT
    QString DAY_NARODZHENYA, POVID_PRI_CREAT_ACCAUNT, KOD_VIDRAHUNOK_STVOR_NEW_KOD,
        CHAS_ZAKRITTYA_ZAM, TIMER_REFLESH_DATA_SHVIDK_ZAM, TIMER_REFLESH_DATA_KODOV_ZAM;
    bool POKAZ_OSOBIST_POVID_KLIENTU = true;
    bool DELETE_OSOBIST_POVID_AFTEROPENPROGRAM = true;
    bool POZDOROVLENNYA_Z_DNEM_NAROD = true;

    // REKLAMA: while the servers run, the advert rotation puts the advert on show
    // into the first three; the file keeps the default advert.
    QString URL_IMG, URL_SAIT, TEXT_REKLAMA, TEXT_ZNIZU_REKLAMY;
    bool OPEN_OBROBKA_REKLAMA = false;

    // The texts the settings page shows before the file is read.
    static ServerSettings pageDefaults();

    // A number setting as an integer; nullopt when the text is not a whole number.
    static std::optional<int> toInt(const QString &text);
    // An address list setting as its addresses.
    static QStringList addresses(const QString &text);
};

inline constexpr const char *kSettingsFile = "SETSERVER.INI";
inline constexpr const char *kDefaultRouteHost = "maps.yandex.ru";

// Reads SETSERVER.INI of `folder` into `settings`; false (after telling the
// operator) when the file is missing or unreadable.
bool LoadSettings(ServerSettings &settings, const QString &folder, Prompt &prompt);

// The page's save button: refuses without a tariff, asks, then writes key by key in
// the fixed order and stops at the first number that is not a whole number or the
// first key the file refuses (both told to the operator). Returns true when every
// key is in the file.
bool SaveSettings(const ServerSettings &settings, const QString &folder, Prompt &prompt);

// The product's web site of SAIT_PROGRAMY when it is an http or https address; an empty
// URL otherwise, and then no link to it is shown.
QUrl ProductSite(const ServerSettings &settings);

// Puts the default advert of the file back ("Відновити дані реклами по замовчюванні").
void RestoreDefaultAdvert(ServerSettings &settings, const QString &folder);
