#include "shell/log_folder_cap.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <mutex>
#include <tuple>
#include <vector>

namespace {

struct LogFile {
    QDateTime saved;
    int number;  // "_2", "_3" ... of saves in the same second; 1 for none
    QString name;
    qint64 size;

    bool operator<(const LogFile &other) const
    {
        return std::tie(saved, number, name) < std::tie(other.saved, other.number, other.name);
    }
};

std::vector<LogFile> logFiles(const QDir &folder)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{2}\\.\\d{2}\\.\\d{4}_\\d{2}-\\d{2}-\\d{2})_LOG_PIDKL(?:_JAVA)?(?:_(\\d+))?\\.RTF$"));
    std::vector<LogFile> files;
    for (const QFileInfo &info : folder.entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden)) {
        const QRegularExpressionMatch match = pattern.match(info.fileName());
        if (!match.hasMatch())
            continue;
        const QDateTime saved =
            QDateTime::fromString(match.captured(1), QStringLiteral("dd.MM.yyyy_HH-mm-ss"));
        if (!saved.isValid())
            continue;
        const int number = match.hasCaptured(2) ? match.captured(2).toInt() : 1;
        files.push_back({saved, number, info.fileName(), info.size()});
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

LogFolderPruning PruneLogFolder(const QString &logFolder, qint64 capBytes)
{
    static std::mutex pruning;
    std::lock_guard guard(pruning);
    const QDir folder(logFolder);
    const std::vector<LogFile> files = logFiles(folder);
    qint64 total = 0;
    for (const LogFile &file : files)
        total += file.size;
    LogFolderPruning pruned;
    for (auto file = files.begin(); file != files.end() && total > capBytes; ++file) {
        if (!QFile::remove(folder.filePath(file->name)))
            continue;
        total -= file->size;
        pruned.bytes += file->size;
        if (pruned.files++ == 0)
            pruned.first = file->name;
        pruned.last = file->name;
    }
    return pruned;
}
