#pragma once

#include <QString>

#include <mutex>

// The news the clients get: the plain text of NEWS.rtf as the service last loaded
// it. Loaded at start (a missing file is created with a line asking the operator for
// the news) and again on the operator's request ("Обновити" in the window, SIGHUP in
// headless mode); pages and phones read the text held here, never the file.
// Read from any thread.
class NewsText {
public:
    explicit NewsText(QString folder) : folder_(std::move(folder)) {}

    // Loads NEWS.rtf, creating it when missing. Empty when all went well, otherwise
    // the message for the operator; an unreadable file leaves the held text as it was.
    QString load();

    // The text held; a service whose start did not load it loads it at this first need.
    QString text();
    QString path() const;

private:
    const QString folder_;
    std::mutex mutex_;
    QString text_;
    bool loaded_ = false;
};
