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

QString attr(const QXmlStreamReader &r, const char *name) { return r.attributes().value(QLatin1String(name)).toString(); }

// Control characters stand in the XML as _xHHHH_.
QString unescape(QString text)
{
    static const QRegularExpression escaped(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    for (QRegularExpressionMatch m = escaped.match(text); m.hasMatch(); m = escaped.match(text, m.capturedStart() + 1))
        text.replace(m.capturedStart(), m.capturedLength(), QChar(m.captured(1).toUShort(nullptr, 16)));
    return text;
}

QStringList sharedStrings(const QByteArray &xml)
{
    QStringList strings;
    for (QXmlStreamReader r(xml); !r.atEnd();) {
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == u"si")
            strings << QString();
        else if (r.isStartElement() && r.name() == u"t")
            strings.last() += unescape(r.readElementText());
    }
    return strings;
}

struct Style {
    QString format, font;
};

// The cell formats (cellXfs) with their number format codes and fonts ("Arial cur 10").
std::vector<Style> styles(const QByteArray &xml)
{
    std::map<QString, QString> formats;
    QStringList fonts;
    std::vector<Style> xfs;
    bool cellXfs = false;
    for (QXmlStreamReader r(xml); !r.atEnd();) {
        r.readNext();
        if (r.isEndElement() && r.name() == u"cellXfs")
            cellXfs = false;
        if (!r.isStartElement())
            continue;
        if (r.name() == u"numFmt")
            formats[attr(r, "numFmtId")] = attr(r, "formatCode");
        else if (r.name() == u"font")
            fonts << QString();
        else if (r.name() == u"name" && !fonts.isEmpty())
            fonts.last().prepend(attr(r, "val"));
        else if (r.name() == u"sz" && !fonts.isEmpty())
            fonts.last() += u' ' + attr(r, "val");
        else if (r.name() == u"cellXfs")
            cellXfs = true;
        else if (r.name() == u"xf" && cellXfs)
            xfs.push_back({formats[attr(r, "numFmtId")], fonts.value(attr(r, "fontId").toInt())});
    }
    return xfs;
}

// A number as its date or time format shows it.
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

}  // namespace

XlsxSheet ReadXlsx(const QString &path)
{
    const QByteArray sheetXml = member(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    if (sheetXml.isEmpty())
        throw std::runtime_error("no sheet in " + path.toStdString());
    const QStringList strings = sharedStrings(member(path, QStringLiteral("xl/sharedStrings.xml")));
    const std::vector<Style> xfs = styles(member(path, QStringLiteral("xl/styles.xml")));

    XlsxSheet sheet;
    qsizetype width = 0;
    for (QXmlStreamReader r(sheetXml); !r.atEnd();) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (r.name() == u"row")
            sheet.rows.resize(size_t(attr(r, "r").toInt()));
        if (r.name() != u"c")
            continue;
        const QString reference = attr(r, "r");
        const QString type = attr(r, "t");
        const Style style = attr(r, "s").isEmpty() ? Style{} : xfs.at(size_t(attr(r, "s").toInt()));
        QString value;
        while (r.readNextStartElement())
            value = r.readElementText();  // <v>: the sheets here hold no inline strings
        QStringList &row = sheet.rows.back();
        const int column = reference.at(0).unicode() - 'A';  // our tables have fewer than 27 columns
        while (row.size() <= column)
            row << QString();
        row[column] = type == u"s"                      ? QStringLiteral("s:") + strings.value(value.toInt())
                      : type.isEmpty() || type == u"n" ? shownNumber(value.toDouble(), style.format)
                                                       : QStringLiteral("s:") + unescape(value);
        width = std::max(width, row.size());
        if (!style.font.isEmpty())
            sheet.fonts[reference] = style.font;
    }
    // Every row as wide as the widest, so that rows compare whole.
    for (QStringList &row : sheet.rows)
        while (row.size() < width)
            row << QString();
    return sheet;
}

}  // namespace kvtest
