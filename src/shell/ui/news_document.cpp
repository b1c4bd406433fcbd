#include "shell/ui/news_document.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

std::optional<unsigned> colourOf(const QTextCharFormat &format)
{
    if (!format.hasProperty(QTextFormat::ForegroundBrush) || format.foreground().style() == Qt::NoBrush)
        return std::nullopt;
    return format.foreground().color().rgb() & 0xFFFFFFu;
}

}  // namespace

RtfRuns DocumentRuns(const QTextDocument &document)
{
    RtfRuns runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            // A paragraph's end takes the look of what it ends.
            if (runs.empty())
                runs.push_back({QStringLiteral("\n"), false, std::nullopt});
            else
                runs.back().text += u'\n';
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter);
            text.replace(QChar::LineSeparator, u'\n');
            if (text.isEmpty())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            AppendRun(runs, text, format.fontWeight() >= QFont::Bold, colourOf(format));
        }
    }
    return runs;
}

void ShowRuns(QTextDocument &document, const RtfRuns &runs)
{
    document.clear();
    QTextCursor cursor(&document);
    for (const RtfRun &run : runs) {
        QTextCharFormat format;
        format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        if (run.colour)
            format.setForeground(QColor::fromRgb(QRgb(*run.colour)));
        cursor.insertText(run.text, format);
    }
    document.setModified(false);
}
