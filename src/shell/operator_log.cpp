#include "shell/operator_log.h"

#include "common/regional_format.h"
#include "common/rtf_writer.h"
#include "shell/log_folder_cap.h"
#include "shell/server_settings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

OperatorLog::OperatorLog(QString folder, QString suffix, std::function<QString()> thresholdText,
                         QObject *parent)
    : QObject(parent), folder_(std::move(folder)), suffix_(std::move(suffix)),
      thresholdText_(std::move(thresholdText))
{
}

void OperatorLog::setFolderCap(std::function<QString()> megabytesText)
{
    std::lock_guard guard(mutex_);
    folderCapText_ = std::move(megabytesText);
}

void OperatorLog::append(const QString &line) { append(QStringList{line}); }

void OperatorLog::appendLocked(const QString &line)
{
    lines_.append(line);
    lineCount_.store(int(lines_.size()), std::memory_order_relaxed);
    emit lineAppended(line);
}

void OperatorLog::append(const QStringList &lines)
{
    {
        std::lock_guard guard(mutex_);
        for (const QString &line : lines) {
            appendLocked(line);
            if (fullLocked() && lines_.size() >= retryAt_)
                saveLocked();
            else if (!saveError_.isEmpty())
                keepWithinCapLocked();
        }
    }
}

void OperatorLog::event(const QString &rest) { append(u'[' + RegionalFormat::nowText() + rest); }

QStringList OperatorLog::lines() const
{
    std::lock_guard guard(mutex_);
    return lines_;
}

int OperatorLog::lineCount() const { return lineCount_.load(std::memory_order_relaxed); }

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

QString OperatorLog::saveError() const
{
    std::lock_guard guard(mutex_);
    return saveError_;
}

QString OperatorLog::fileName(const QDateTime &moment, const QString &suffix)
{
    QString stamp = RegionalFormat::dateTimeText(moment);
    stamp.replace(u' ', u'_').replace(u':', u'-');
    return stamp + suffix;
}

int OperatorLog::thresholdLocked()
{
    const QString text = thresholdText_ ? thresholdText_() : QString();
    bool ok = false;
    const int threshold = text.trimmed().toInt(&ok);
    if (ok && threshold > 0)
        return threshold;
    // A hand-edited file may hold anything here: say so once, and save by the default
    // meanwhile, so that lines neither pile up in memory nor make a file each.
    if (text != reportedThreshold_) {
        reportedThreshold_ = text;
        emit problem(QStringLiteral("Невірно задана кількість позицій в LOG-листі для "
                                    "збереження: [%1]").arg(text));
    }
    return kDefaultThreshold;
}

int OperatorLog::capacity()
{
    std::lock_guard guard(mutex_);
    return int(std::min<qint64>(capLocked(), std::numeric_limits<int>::max()));
}

qsizetype OperatorLog::capLocked() { return qsizetype(thresholdLocked()) * kKeptSaves; }

bool OperatorLog::fullLocked() { return lines_.size() >= thresholdLocked(); }

void OperatorLog::keepWithinCapLocked()
{
    const qsizetype cap = capLocked();
    if (lines_.size() <= cap)
        return;
    lines_.remove(0, lines_.size() - cap);
    lineCount_.store(int(lines_.size()), std::memory_order_relaxed);
    if (dropReported_)
        return;
    dropReported_ = true;
    emit problem(QStringLiteral("LOG-лист не вдається зберегти, а в памяті тримається не більше %1 рядків: "
                                "найстаріші рядки відкидаються.").arg(cap));
}

bool OperatorLog::saveLocked()
{
    // The folder is made when missing: a log is not to be lost for want of it.
    QDir(folder_).mkpath(QStringLiteral("LOG"));
    const QDir logDir(QDir(folder_).filePath(QStringLiteral("LOG")));
    const QString name = fileName(QDateTime::currentDateTime(), suffix_);
    // Two saves in one second must not overwrite each other.
    QString path = logDir.filePath(name);
    const QString base = name.left(name.size() - 4);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = logDir.filePath(QStringLiteral("%1_%2.RTF").arg(base).arg(n));

    QString error = QStringLiteral("немає папки LOG");
    if (!QFileInfo(logDir.path()).isDir() || !SaveRtf(path, lines_, &error)) {
        const bool firstFailure = saveError_.isEmpty();
        saveError_ = QStringLiteral("Неможливо зберегти LOG-файл [%1] %2").arg(QDir::toNativeSeparators(path), error);
        retryAt_ = lines_.size() + thresholdLocked();
        keepWithinCapLocked();
        if (firstFailure)
            emit problem(saveError_ + QStringLiteral(". Рядки залишаються в памяті до наступної спроби."));
        return false;
    }
    saveError_.clear();
    retryAt_ = 0;
    dropReported_ = false;
    lines_.clear();
    lineCount_.store(0, std::memory_order_relaxed);
    emit cleared();
    keepFolderWithinCapLocked(logDir.path());
    return true;
}

void OperatorLog::keepFolderWithinCapLocked(const QString &logFolder)
{
    if (!folderCapText_)
        return;
    const QString text = folderCapText_();
    int megabytes = ServerSettings::toInt(text).value_or(-1);
    if (megabytes == 0)
        return;
    if (megabytes < 0) {
        if (text != reportedFolderCap_) {
            reportedFolderCap_ = text;
            appendLocked(u'[' + RegionalFormat::nowText()
                         + QStringLiteral("] Невірно задано найбільший розмір папки LOG: [%1], діє %2 МБ.")
                               .arg(text, QString::number(kDefaultFolderCapMb)));
        }
        megabytes = kDefaultFolderCapMb;
    }
    const LogFolderPruning pruned = PruneLogFolder(logFolder, qint64(megabytes) * 1024 * 1024);
    if (pruned.files == 0)
        return;
    appendLocked(u'[' + RegionalFormat::nowText()
                 + QStringLiteral("] LOG-файли перевищили %1 МБ: видалено найстаріших файлів - %2 (%3 МБ), від [%4] "
                                  "до [%5].")
                       .arg(QString::number(megabytes), QString::number(pruned.files),
                            RegionalFormat::numberText(double(qRound64(double(pruned.bytes) * 10 / (1024 * 1024))) / 10),
                            pruned.first, pruned.last));
}
