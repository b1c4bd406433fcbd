#pragma once

#include <QByteArray>
#include <QString>

// The dispatchers' program, old settings files, NEWS.rtf and the web pages speak
// Windows-1251; inside the program every text is a QString.
namespace win1251 {

QString toUnicode(const QByteArray &bytes);
// Windows-1251 has no byte for some characters (emoji, Chinese...): they become '?',
// as the old program's 8-bit strings had them.
QByteArray fromUnicode(const QString &text);

// The text as Windows-1251 can hold it, with '?' for what it cannot.
QString representableText(const QString &text);
bool representable(const QString &text);

}  // namespace win1251
