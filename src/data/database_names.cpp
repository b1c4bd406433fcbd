#include "data/database_names.h"

#include <QDir>

QString DispatchDatabaseName(const QString &server, const QString &path, const QString &name)
{
    const bool windowsPath = path.contains(u'\\')
        || (path.size() >= 2 && path[0].isLetter() && path[1] == u':');
    QString folder = path;
    const QChar separator = windowsPath ? u'\\' : u'/';
    // A folder already ending in its separator is not doubled.
    if (folder.endsWith(separator))
        folder.chop(1);
    return server + folder + separator + name;
}

QString ServiceDatabaseName(const QString &folder)
{
    return QDir(folder).absoluteFilePath(QString::fromLatin1(kServiceDatabaseFile));
}
