#pragma once

#include <QString>
#include <QtGlobal>

// The decimal text of n padded with zeros in front to five characters, the way
// the old program numbered orders and cars: 7 -> "00007", 1234 -> "01234".
// Texts of five or more characters are left as they are (123456 -> "123456").
// The minus sign counts as a character and the zeros go in front of it, as in
// the original: -5 -> "00-5", -1234 -> "-1234".
QString FormatNumber5(qint64 n);

// A client code as the dispatchers' client records carry it: "[00102]".
QString BracketedNumber5(qint64 n);
