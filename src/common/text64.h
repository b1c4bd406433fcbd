#pragma once

#include <QByteArray>
#include <QString>

// The Base64 forms of the mobile protocol. The two directions differ on purpose and
// the mobile application relies on both:
//
// EncodeText64: the text as Windows-1251 would hold it (characters it has no byte for
// become '?'), sent as standard Base64 of its UTF-8 bytes, padded with '=', no line
// breaks; an empty text gives an empty value.
QByteArray EncodeText64(const QString &text);

// DecodeText64Bytes: standard Base64 read leniently. Characters outside the alphabet
// (other than '=') are skipped; each complete group of four gives its first byte, its
// second unless the third character is '=', its third unless the fourth is '=', and the
// first group holding '=' in third or fourth place ends the decoding. An incomplete last
// group is dropped. The bytes are returned as they are (no UTF-8 decoding).
QByteArray DecodeText64Bytes(const QByteArray &base64);

// The decoded bytes taken as Windows-1251 text, as the client sends its free text.
QString DecodeText64(const QByteArray &base64);
