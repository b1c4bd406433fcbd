#pragma once

#include <QByteArray>
#include <QString>

// The dispatchers' program, old settings files, NEWS.rtf and the web pages speak
// Windows-1251; inside the program every text is a QString.
namespace win1251 {

QString toUnicode(const QByteArray &bytes);
QByteArray fromUnicode(const QString &text);

// Windows-1251 has no byte for some characters (emoji, Chinese...): they become '?'.
bool representable(const QString &text);

}  // namespace win1251
