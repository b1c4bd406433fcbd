#include "service_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <stdexcept>

namespace kvtest {

void MakeDispatchDatabase(const QString &path, bool demoCity)
{
    QStringList arguments;
    if (demoCity)
        arguments << QStringLiteral("--demo");
    arguments << QStringLiteral("--force") << path;
    QProcess process;
    process.start(QStringLiteral(KV_SOURCE_DIR "/scripts/make-dispatch-db"), arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        throw std::runtime_error("make-dispatch-db failed: "
                                 + process.readAllStandardError().toStdString());
}

ServiceFolder::ServiceFolder(bool demoCity) : dir_(QStringLiteral("kv-service"))
{
    MakeDispatchDatabase(dispatchDatabase(), demoCity);
    QDir(path()).mkdir(QStringLiteral("LOG"));
}

void ServiceFolder::writeSettings(const QString &extra) const
{
    QFile file(filePath(QStringLiteral("SETSERVER.INI")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write SETSERVER.INI");
    const QString text = QStringLiteral("[SHLYAH_BAZA]\nSERVER=\nPATH_BAZA=%1\nNAME_BAZA=DISPATCH.FDB\n"
                                        "[SET_SERV]\nLOGIN=SYSDBA\nPASS=masterkey\n")
                             .arg(path())
        + extra;
    file.write(text.toUtf8());
}

}  // namespace kvtest
