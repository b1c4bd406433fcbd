#pragma once

#include <QByteArray>
#include <QString>

struct ServerSettings;

// "<OpenSettingServer>": the settings that shape the application's screens, seven
// texts then nine flags. The three blocking flags go out inverted ("0" = the form is
// blocked), the others direct. The last element closes with "</>" alone.
QByteArray SettingServerAnswer(const ServerSettings &settings);

// The news as the clients get it: the plain text of NEWS.rtf in `folder`, every line
// followed by CR LF; empty when the file is missing or unreadable.
QString JavaNewsText(const QString &folder);

// "<OpenNews>": the news text in Base64.
QByteArray NewsAnswer(const QString &newsText);
