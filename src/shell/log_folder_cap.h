#pragma once

#include <QString>
#include <QtGlobal>

// The LOG folder kept under a size: the log files the program saved there (named
// <dd.MM.yyyy_HH-mm-ss>_LOG_PIDKL[_JAVA][_N].RTF) count, and the oldest of them go
// first. Any other file in the folder is neither counted nor touched.

struct LogFolderPruning {
    int files = 0;    // deleted
    qint64 bytes = 0;
    QString first;    // the oldest and the newest of the deleted files
    QString last;
};

// Deletes the oldest log files (by the date and time in their names, then their number)
// until those left take at most `capBytes`. Saves of both logs may call it at once.
LogFolderPruning PruneLogFolder(const QString &logFolder, qint64 capBytes);
