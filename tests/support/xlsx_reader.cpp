#include "xlsx_reader.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <stdexcept>

namespace kvtest {

namespace {

QByteArray member(const QString &path, const QString &name)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, name});
    if (!unzip.waitForFinished(30000))
        throw std::runtime_error("unzip did not finish");
    return unzip.readAllStandardOutput();
}

// Control characters stand in the XML as _xHHHH_.
QString unescape(const QString &text)
{
    static const QRegularExpression escaped(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype from = 0;
    for (auto it = escaped.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from);
        out += QChar(m.captured(1).toUShort(nullptr, 16));
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

QStringList sharedStrings(const QByteArray &xml)
{
    QStringList strings;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"si")
            strings << QString();
        else if (r.isStartElement() && r.name() == u"t")
            strings.last() += unescape(r.readElementText());
    }
    return strings;
}

struct Style {
    QString format;
    QString font;
};

std::vector<Style> styles(const QByteArray &xml)
{
    std::map<int, QString> formats;
    QStringList fonts;
    std::vector<Style> xfs;
    bool inCellXfs = false;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isEndElement() && r.name() == u"cellXfs")
            inCellXfs = false;
        if (!r.isStartElement())
            continue;
        const QXmlStreamAttributes a = r.attributes();
        if (r.name() == u"numFmt")
            formats[a.value(QLatin1String("numFmtId")).toInt()] = a.value(QLatin1String("formatCode")).toString();
        else if (r.name() == u"font")
            fonts << QString();
        else if (r.name() == u"name" && !fonts.isEmpty())
            fonts.last() = a.value(QLatin1String("val")).toString() + fonts.last();
        else if (r.name() == u"sz" && !fonts.isEmpty())
            fonts.last() += u' ' + a.value(QLatin1String("val")).toString();
        else if (r.name() == u"cellXfs")
            inCellXfs = true;
        else if (r.name() == u"xf" && inCellXfs)
            xfs.push_back({formats[a.value(QLatin1String("numFmtId")).toInt()], fonts.value(a.value(QLatin1String("fontId")).toInt())});
    }
    return xfs;
}

// A number shown by a date or time format, as that format shows it.
QString shownNumber(double serial, const QString &format)
{
    const QDateTime moment = QDateTime(QDate(1899, 12, 30), QTime(0, 0)).addMSecs(qint64(serial * 86400000.0 + 0.5));
    if (format == u"dd.mm.yyyy")
        return QStringLiteral("d:") + moment.toString(QStringLiteral("dd.MM.yyyy"));
    if (format == u"hh:mm:ss")
        return QStringLiteral("t:") + moment.toString(QStringLiteral("HH:mm:ss"));
    if (format == u"dd.mm.yyyy hh:mm:ss")
        return QStringLiteral("dt:") + moment.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    return QStringLiteral("n:") + QString::number(serial, 'g', 15);
}

int columnIndex(const QString &reference)
{
    int index = 0;
    for (const QChar c : reference) {
        if (!c.isLetter())
            break;
        index = index * 26 + (c.unicode() - 'A' + 1);
    }
    return index - 1;
}

}  // namespace

XlsxSheet ReadXlsx(const QString &path)
{
    const QByteArray sheetXml = member(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    if (sheetXml.isEmpty())
        throw std::runtime_error("no sheet in " + path.toStdString());
    const QStringList strings = sharedStrings(member(path, QStringLiteral("xl/sharedStrings.xml")));
    const std::vector<Style> xfs = styles(member(path, QStringLiteral("xl/styles.xml")));

    XlsxSheet sheet;
    QXmlStreamReader r(sheetXml);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        const QXmlStreamAttributes a = r.attributes();
        if (r.name() == u"row") {
            sheet.rows.resize(size_t(a.value(QLatin1String("r")).toInt()));
        } else if (r.name() == u"c") {
            const QString reference = a.value(QLatin1String("r")).toString();
            const QString type = a.value(QLatin1String("t")).toString();
            const Style style = a.hasAttribute(QLatin1String("s")) ? xfs.at(size_t(a.value(QLatin1String("s")).toInt())) : Style{};
            QString value;
            while (r.readNextStartElement()) {
                if (r.name() == u"v" || r.name() == u"t")
                    value = r.readElementText();
                else
                    r.skipCurrentElement();
            }
            QString cell = type == u"s" ? QStringLiteral("s:") + strings.value(value.toInt())
                         : type.isEmpty() || type == u"n" ? shownNumber(value.toDouble(), style.format)
                                                          : QStringLiteral("s:") + unescape(value);
            QStringList &row = sheet.rows.back();
            const int column = columnIndex(reference);
            while (row.size() <= column)
                row << QString();
            row[column] = cell;
            if (!style.font.isEmpty())
                sheet.fonts[reference] = style.font;
        }
    }
    // Every row as wide as the widest, so that rows compare whole.
    qsizetype width = 0;
    for (const QStringList &row : sheet.rows)
        width = std::max(width, row.size());
    for (QStringList &row : sheet.rows)
        while (row.size() < width)
            row << QString();
    return sheet;
}

}  // namespace kvtest
