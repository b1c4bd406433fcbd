#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

// One of the two running logs (web, mobile). Lines are appended from any thread;
// appends and saves never interleave. When the log reaches its threshold it is
// written to LOG/<date>_<time><suffix> as an RTF document and emptied; the LOG folder
// is made when missing. A save that fails keeps the lines and is tried again after
// another threshold's worth of lines (and at every minute mark); meanwhile at most
// kKeptSaves thresholds' worth are kept, the oldest going first. Both are told once.
// After a save the log files in LOG/ are kept under the folder's size limit, when one is
// set; the log says when files had to go.
class OperatorLog : public QObject {
    Q_OBJECT
public:
    // `thresholdText` gives the KIL_LOG_POZ text in force; `suffix` ends the file
    // name ("_LOG_PIDKL.RTF" or "_LOG_PIDKL_JAVA.RTF").
    OperatorLog(QString folder, QString suffix, std::function<QString()> thresholdText,
                QObject *parent = nullptr);

    // `megabytesText` gives the MAX_ROZMIR_LOG_MB text in force: the most the log files
    // of LOG/ may take together (of both logs); 0 for no limit.
    void setFolderCap(std::function<QString()> megabytesText);

    void append(const QString &line);
    void append(const QStringList &lines);
    // An event line: "[" + date and time, then `rest`, which begins with "]".
    void event(const QString &rest);

    QStringList lines() const;
    // Without the log's lock, which a save holds while it writes the file.
    int lineCount() const;
    // The most lines the log holds while saves fail (kKeptSaves thresholds' worth): views
    // of the log keep no more either.
    int capacity();

    // Saves and empties the log when it has reached its threshold.
    void saveIfFull();
    // Saves and empties the log whatever its length; false when it could not be written.
    bool saveNow();
    // Why the last save failed; empty after a save that worked.
    QString saveError() const;

    // Lines kept while saves fail: this many thresholds' worth.
    static constexpr int kKeptSaves = 20;
    // The threshold in force while the setting is no positive whole number.
    static constexpr int kDefaultThreshold = 5000;
    // The folder limit in force while its setting is no whole number, 0 or more.
    static constexpr int kDefaultFolderCapMb = 1024;

    // The file name a save at `moment` would get (before de-duplication).
    static QString fileName(const QDateTime &moment, const QString &suffix);

// Signals are emitted with the log's mutex held: connect them queued.
signals:
    void lineAppended(const QString &line);
    void cleared();
    // A save failed, lines had to go or the threshold is not a number: the operator is told.
    void problem(const QString &text);

private:
    bool saveLocked();
    bool fullLocked();
    int thresholdLocked();
    void keepWithinCapLocked();
    void keepFolderWithinCapLocked(const QString &logFolder);
    qsizetype capLocked();  // the lines kept while saves fail
    void appendLocked(const QString &line);

    mutable std::mutex mutex_;
    QString folder_;
    QString suffix_;
    std::function<QString()> thresholdText_;
    std::function<QString()> folderCapText_;
    QString reportedFolderCap_;
    QStringList lines_;
    std::atomic<int> lineCount_{0};  // lines_.size(), for readers that must not wait
    QString reportedThreshold_;
    QString saveError_;
    qsizetype retryAt_ = 0;    // after a failed save: the line count of the next try
    bool dropReported_ = false;
};

struct Logs {
    OperatorLog &web;
    OperatorLog &mobile;
};
