#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>

// One of the two running logs (web, mobile). Lines are appended from any thread;
// appends and saves never interleave. When the log reaches its threshold it is
// written to LOG/<date>_<time><suffix> as an RTF document and emptied.
class OperatorLog : public QObject {
    Q_OBJECT
public:
    // `thresholdText` gives the KIL_LOG_POZ text in force; `suffix` ends the file
    // name ("_LOG_PIDKL.RTF" or "_LOG_PIDKL_JAVA.RTF").
    OperatorLog(QString folder, QString suffix, std::function<QString()> thresholdText,
                QObject *parent = nullptr);

    void append(const QString &line);
    void append(const QStringList &lines);
    // An event line: "[" + date and time, then `rest`, which begins with "]".
    void event(const QString &rest);

    QStringList lines() const;
    int lineCount() const;

    // Saves and empties the log when it has reached its threshold.
    void saveIfFull();
    // Saves and empties the log whatever its length; false when it could not be written.
    bool saveNow();

    // The file name a save at `moment` would get (before de-duplication).
    static QString fileName(const QDateTime &moment, const QString &suffix);

// Signals are emitted with the log's mutex held: connect them queued.
signals:
    void lineAppended(const QString &line);
    void cleared();
    // A save failed or the threshold is not a number: the operator is told.
    void problem(const QString &text);

private:
    bool saveLocked();
    bool fullLocked();

    mutable std::mutex mutex_;
    QString folder_;
    QString suffix_;
    std::function<QString()> thresholdText_;
    QStringList lines_;
    QString reportedThreshold_;
    bool saveFailed_ = false;
};

struct Logs {
    OperatorLog &web;
    OperatorLog &mobile;
};
