#include "service_folder.h"

#include "data/fb.h"
#include "data/service_schema.h"

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
    const QString text = QStringLiteral("[SHLYAH_BAZA]\nSERVER=%1\nPATH_BAZA=%2\nNAME_BAZA=DISPATCH.FDB\n"
                                        "[SET_SERV]\nLOGIN=SYSDBA\nPASS=%3\n")
                             .arg(viaServer_ ? QStringLiteral("localhost:") : QString(), path(), password_)
        + extra;
    file.write(text.toUtf8());
}

void ServiceFolder::createServiceDatabase(const QList<QPair<QString, QString>> &accounts) const
{
    const DatabaseLogin login{QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
    const QString service = filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"));
    CreateServiceDatabase(service, login, [](const QStringList &) {});
    fb::Attachment base;
    base.open({service, login.user, login.password});
    fb::Transaction transaction(base);
    fb::Query insert(transaction);
    int number = 0;
    for (const auto &[code, password] : accounts)
        insert.execute(QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, "
                                      "TABLE_KLIENT_BAN) VALUES (?, ?, ?, '-')"),
                       {++number, code, password});
    transaction.commit();
}

void ServiceFolder::useServer(const QString &sysdbaPassword)
{
    viaServer_ = true;
    password_ = sysdbaPassword;
}

QString ServiceFolder::dispatchConnection() const
{
    return viaServer_ ? QStringLiteral("localhost:") + dispatchDatabase() : dispatchDatabase();
}

QString ServerPassword()
{
    QProcess process;
    process.start(QStringLiteral(KV_SOURCE_DIR "/scripts/firebird-server"), {QStringLiteral("--password")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        throw std::runtime_error("the Firebird server does not run: " + process.readAllStandardError().toStdString());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

}  // namespace kvtest
