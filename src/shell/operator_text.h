#pragma once

#include "common/win1251.h"

#include <QString>
#include <QStringList>

// Texts the operator types into the windows on their way to the service database.

// Memo lines travel joined by CR LF, as the clients' programs have always been sent them.
inline QString StoredLines(const QString &typed)
{
    QString text = typed;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
}

inline QString ShownLines(const QString &stored)
{
    QString text = stored;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The first `width` characters, never ending between the CR and the LF of a line break.
inline QString CutText(const QString &text, int width)
{
    QString cut = text.left(width);
    if (cut.size() < text.size() && cut.endsWith(u'\r'))
        cut.chop(1);
    return cut;
}

// Captions of the fields whose text the database's code page (Windows-1251) cannot
// hold; stored, such characters would silently become '?'. `fields` pairs captions and texts.
inline QStringList UnstorableFields(std::initializer_list<std::pair<QString, QString>> fields)
{
    QStringList captions;
    for (const auto &[caption, text] : fields)
        if (!win1251::representable(text))
            captions << caption;
    return captions;
}

inline QString UnstorableMessage(const QStringList &captions)
{
    return QStringLiteral("Поля [%1] містять символи, яких немає в кодуванні бази даних (Windows-1251). "
                          "Дані не змінено !")
        .arg(captions.join(QStringLiteral("], [")));
}
