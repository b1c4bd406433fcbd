#pragma once

#include "temp_dir.h"

#include <QByteArray>
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

    // Writes SETSERVER.INI: the database keys, then `extra` (INI lines, UTF-8).
    void writeSettings(const QString &extra = {}) const;

private:
    TempDir dir_;
};

// Runs scripts/make-dispatch-db; throws std::runtime_error when it fails.
void MakeDispatchDatabase(const QString &path, bool demoCity);

}  // namespace kvtest
