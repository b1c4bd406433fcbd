#include "shell/operator_log.h"

#include "common/regional_format.h"
#include "common/rtf_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

OperatorLog::OperatorLog(QString folder, QString suffix, std::function<QString()> thresholdText,
                         QObject *parent)
    : QObject(parent), folder_(std::move(folder)), suffix_(std::move(suffix)),
      thresholdText_(std::move(thresholdText))
{
}

void OperatorLog::append(const QString &line) { append(QStringList{line}); }

void OperatorLog::append(const QStringList &lines)
{
    {
        std::lock_guard guard(mutex_);
        for (const QString &line : lines) {
            lines_.append(line);
            emit lineAppended(line);
            if (fullLocked())
                saveLocked();
        }
    }
}

void OperatorLog::event(const QString &rest) { append(u'[' + RegionalFormat::nowText() + rest); }

QStringList OperatorLog::lines() const
{
    std::lock_guard guard(mutex_);
    return lines_;
}

int OperatorLog::lineCount() const
{
    std::lock_guard guard(mutex_);
    return int(lines_.size());
}

void OperatorLog::saveIfFull()
{
    std::lock_guard guard(mutex_);
    if (fullLocked())
        saveLocked();
}

bool OperatorLog::saveNow()
{
    std::lock_guard guard(mutex_);
    return saveLocked();
}

QString OperatorLog::fileName(const QDateTime &moment, const QString &suffix)
{
    QString stamp = RegionalFormat::dateTimeText(moment);
    stamp.replace(u' ', u'_').replace(u':', u'-');
    return stamp + suffix;
}

bool OperatorLog::fullLocked()
{
    const QString text = thresholdText_ ? thresholdText_() : QString();
    bool ok = false;
    const int threshold = text.trimmed().toInt(&ok);
    if (!ok) {
        // A hand-edited file may hold anything here: say so once, never save by it.
        if (text != reportedThreshold_) {
            reportedThreshold_ = text;
            emit problem(QStringLiteral("Невірно задана кількість позицій в LOG-листі для "
                                        "збереження: [%1]").arg(text));
        }
        return false;
    }
    return lines_.size() >= threshold;
}

bool OperatorLog::saveLocked()
{
    const QDir logDir(QDir(folder_).filePath(QStringLiteral("LOG")));
    const QString name = fileName(QDateTime::currentDateTime(), suffix_);
    // Two saves in one second must not overwrite each other.
    QString path = logDir.filePath(name);
    const QString base = name.left(name.size() - 4);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = logDir.filePath(QStringLiteral("%1_%2.RTF").arg(base).arg(n));

    QString error;
    if (!logDir.exists() || !SaveRtf(path, lines_, &error)) {
        // Reported once: a log over its threshold retries at every further line.
        if (saveFailed_)
            return false;
        saveFailed_ = true;
        emit problem(QStringLiteral("Неможливо зберегти LOG-файл [%1] %2")
                         .arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    saveFailed_ = false;
    lines_.clear();
    emit cleared();
    return true;
}
