#pragma once

#include "common/rtf_runs.h"

class QTextDocument;

// The news editor's document and the runs NEWS.rtf is written from: paragraphs, bold and
// a colour pass; other formatting, and pictures, do not.
RtfRuns DocumentRuns(const QTextDocument &document);
// Replaces the document's content with the runs; the document counts as unmodified.
void ShowRuns(QTextDocument &document, const RtfRuns &runs);
