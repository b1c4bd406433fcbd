#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

// A telephone a passenger typed on a page: at least five digits, and nothing but digits,
// blanks, "+", "-", "(" and ")". The dispatchers call it back; letters would reach them
// as a "telephone" nobody can dial.
inline bool IsTelephoneText(const QString &text)
{
    int digits = 0;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c != u' ' && c != u'+' && c != u'-' && c != u'(' && c != u')')
            return false;
    }
    return digits >= 5;
}

// The telephone numbers in a free text such as TELEFON_FIRMA ("0332 77-77-77, 0332
// 78-78-78"): each run of digits, blanks, "-" and parentheses (an opening "+" too) that
// holds at least five digits.
inline QStringList TelephoneNumbersIn(const QString &text)
{
    static const QRegularExpression run(QStringLiteral("\\+?[0-9(][0-9 ()\\-]*[0-9]"));
    QStringList numbers;
    for (const QRegularExpressionMatch &match : run.globalMatch(text)) {
        const QString number = match.captured().trimmed();
        if (IsTelephoneText(number))
            numbers << number;
    }
    return numbers;
}
