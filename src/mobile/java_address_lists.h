#pragma once

#include <QByteArray>
#include <QStringList>

class TDANI;

// The address pickers of the application: streets of the city ("</ListVul>") and
// named objects of the city map ("</ListObekt>"), found by a Base64 search text that
// may stand anywhere in the name. Run under the service lock.
QByteArray StreetListAnswer(TDANI &danni, const QByteArray &request);
QByteArray ObjectListAnswer(TDANI &danni, const QByteArray &request);

// "<wrapper>", the items as "<#k>" + Base64 + "</#k>" numbered from 1, "<cil>" + count
// + "</cil>", "</wrapper>".
QByteArray NumberedListAnswer(const char *wrapper, const QStringList &items);
