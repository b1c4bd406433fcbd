#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The byte framing of the mobile protocol: requests end with "###", answers and
// notifications with "@". Everything inside is 8-bit text.
inline constexpr char kJavaRequestEnd[] = "###";
inline constexpr char kJavaAnswerEnd = '@';

// The largest unfinished request a connection may hold; no request of the protocol
// comes near it, so a client that passes it is flooding and gets disconnected.
inline constexpr qsizetype kJavaReadBufferCap = 64 * 1024;

// Takes the first complete request off the front of `buffer` (terminator dropped);
// nothing while the buffer holds no "###". Empty requests ("###" alone) ask for nothing
// and are dropped on the way, a whole run of them at once.
std::optional<QByteArray> TakeJavaRequest(QByteArray &buffer);

// The client's fields are trimmed of every character with a code up to 32 at both
// ends (control characters included, not only blanks).
QByteArray TrimJavaField(const QByteArray &field);
// The same rule for a field already decoded to text.
QString TrimJavaText(const QString &text);

// A client code or order number as the server reads it: trimmed as above, then a
// whole number that fits 32 bits; nothing otherwise.
std::optional<qint32> ReadJavaNumber(const QString &text);

// The field value between its opening and closing tag: "<CodClient>" ... "</CodClient>".
QByteArray JavaField(const QByteArray &request, const char *openTag, const char *closeTag);

// One element of an answer: "<name>" + value + "</name>".
QByteArray JavaElement(const QByteArray &name, const QByteArray &value);

// Item k of a numbered list answer: "<#k>" + EncodeText64(text) + "</#k>".
QByteArray JavaListItem(int k, const QString &text);

// Messages of a command's checks joined in the order they ran: the first alone, each
// further one after `separator` (a carriage return unless the command says otherwise).
QString JoinJavaErrors(const QStringList &messages, const QString &separator = QStringLiteral("\r"));

// "<Error>" + Base64 of the text + "</Error>"; "<Error></Error>" for no text.
QByteArray JavaErrorElement(const QString &errorText);
