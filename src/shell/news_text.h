#pragma once

#include "common/rtf_runs.h"

#include <QByteArray>
#include <QString>

#include <mutex>
#include <optional>

// The news the clients get: the plain text of NEWS.rtf as the service last loaded
// it. Loaded at start (a missing file is created with a line asking the operator for
// the news) and again on the operator's request ("Обновити" and the news editor in the
// window, SIGHUP in headless mode); pages and phones read the text held here, never the
// file.
// Read from any thread.
class NewsText {
public:
    explicit NewsText(QString folder) : folder_(std::move(folder)) {}

    // Loads NEWS.rtf, creating it when missing. Empty when all went well, otherwise
    // the message for the operator; an unreadable file leaves the held text as it was.
    QString load();

    // NEWS.rtf with its paragraphs, bold and colours, for the news editor; the text held
    // when the file cannot be read.
    RtfRuns document();
    // The operator's edited news: the file so far is kept as NEWS.rtf.bak, NEWS.rtf is
    // written in its usual form and loaded again, so pages and phones get the new text at
    // once. Empty when all went well, otherwise the message for the operator; NEWS.rtf
    // and the text held are then as they were.
    QString save(const RtfRuns &document);

    // The text held; a service whose start did not load it loads it at this first need.
    QString text();
    QString path() const;

private:
    // NEWS.rtf's bytes; none, with the operator's message, when it cannot be read.
    std::optional<QByteArray> read(QString *error = nullptr) const;

    const QString folder_;
    std::mutex mutex_;
    QString text_;
    bool loaded_ = false;
};
