#pragma once

#include "temp_dir.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace kvtest {

// A working folder of the program: a dispatchers' database made by the project's own
// script (with the demo city when asked), SETSERVER.INI pointing at it, and LOG/.
class ServiceFolder {
public:
    explicit ServiceFolder(bool demoCity = false);

    QString path() const { return dir_.path(); }
    QString filePath(const QString &name) const { return dir_.filePath(name); }
    QString dispatchDatabase() const { return filePath(QStringLiteral("DISPATCH.FDB")); }

    // Writes SETSERVER.INI: the database keys with `databaseExtra` (lines of their
    // section), then `extra` (INI lines, UTF-8).
    void writeSettings(const QString &extra = {}, const QString &databaseExtra = {}) const;

    // Makes the service database before the program starts, with web accounts (code
    // and password, not banned); it is closed again, as the embedded engine opens a
    // file for one process only.
    void createServiceDatabase(const QList<QPair<QString, QString>> &accounts) const;

    // From now on the program reaches the dispatchers' database through the local
    // Firebird server (so that a second process can change it and raise events); another
    // server than the shared one by its prefix ("localhost/PORT:").
    void useServer(const QString &sysdbaPassword, const QString &prefix = QStringLiteral("localhost:"));
    // The connection string of the dispatchers' database as the program uses it.
    QString dispatchConnection() const;
    QString password() const { return password_; }

private:
    TempDir dir_;
    QString serverPrefix_;  // empty: the embedded engine
    QString password_ = QStringLiteral("masterkey");
};

// The SYSDBA password of the local Firebird server, started when it is not running
// (scripts/firebird-server); throws std::runtime_error when it cannot run.
QString ServerPassword();

// A dispatchers' database made by scripts/make-dispatch-db (once a test program for each
// kind, then copied); throws std::runtime_error when it fails.
void MakeDispatchDatabase(const QString &path, bool demoCity);

// A new, empty service database at `path`, made as the program makes it (once a test
// program, then copied).
void CopyNewServiceDatabase(const QString &path);

}  // namespace kvtest
