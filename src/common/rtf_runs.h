#pragma once

#include <QString>

#include <optional>
#include <vector>

// A stretch of text in one look: the little formatting NEWS.rtf keeps when the operator
// edits it in the window (paragraphs, bold, a colour).
struct RtfRun {
    QString text;  // "\n" ends a paragraph
    bool bold = false;
    std::optional<unsigned> colour;  // 0xRRGGBB; none: the reader's default colour

    bool operator==(const RtfRun &) const = default;
};

using RtfRuns = std::vector<RtfRun>;

// Adds `text` in its look, joined to the last run when that has the same look.
inline void AppendRun(RtfRuns &runs, const QString &text, bool bold, std::optional<unsigned> colour)
{
    if (!runs.empty() && runs.back().bold == bold && runs.back().colour == colour)
        runs.back().text += text;
    else
        runs.push_back({text, bold, colour});
}
