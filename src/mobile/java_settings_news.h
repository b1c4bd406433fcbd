#pragma once

#include <QByteArray>
#include <QString>

struct ServerSettings;

// "<OpenSettingServer>": the settings that shape the application's screens, seven
// texts then nine flags. The three blocking flags go out inverted ("0" = the form is
// blocked), the others direct. The last element closes with "</>" alone.
QByteArray SettingServerAnswer(const ServerSettings &settings);

// The news as the phones get it: every line of the service's news text followed by
// CR LF; empty for empty news.
QString JavaNewsText(const QString &news);

// "<OpenNews>": the news text in Base64.
QByteArray NewsAnswer(const QString &newsText);
