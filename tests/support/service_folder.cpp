#include "service_folder.h"

#include "data/fb.h"
#include "data/service_schema.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <functional>
#include <stdexcept>

#include <unistd.h>

namespace kvtest {

namespace {

void runMakeDispatchDb(const QString &path, bool demoCity)
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

// Making a database takes seconds. Test programs run each test in a process of its
// own, so a database is made once for the whole build and copied from there; the
// name of the copy says what it was made from, so a changed schema makes a new one.
void copyTemplate(const QByteArray &madeFrom, const QString &path, const std::function<void(const QString &)> &make)
{
    const QDir cache(QStringLiteral(KV_TEST_CACHE_DIR));
    cache.mkpath(QStringLiteral("."));
    const QString made =
        cache.filePath(QString::fromLatin1(QCryptographicHash::hash(madeFrom, QCryptographicHash::Sha1).toHex()) + ".FDB");
    if (!QFile::exists(made)) {
        // Made aside and linked in: test programs running at the same time never see half a
        // file. Not QFile::rename: when another program was first, its fallback copies over
        // the existing file, truncating it under programs copying it meanwhile.
        const QString aside = made + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
        make(aside);
        ::link(QFile::encodeName(aside).constData(), QFile::encodeName(made).constData());  // fails when another was first
        QFile::remove(aside);
    }
    QFile::remove(path);
    if (!QFile::copy(made, path))
        throw std::runtime_error("cannot copy a database to " + path.toStdString());
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

void MakeDispatchDatabase(const QString &path, bool demoCity)
{
    QByteArray madeFrom = "dispatch" + fileBytes(QStringLiteral(KV_SOURCE_DIR "/scripts/make-dispatch-db"))
        + fileBytes(QStringLiteral(KV_FIXTURES_DIR "/dispatch_schema.sql"));
    // The demo city dates its orders from the day it is made.
    if (demoCity)
        madeFrom += fileBytes(QStringLiteral(KV_FIXTURES_DIR "/demo_city.sql")) + QDate::currentDate().toString().toUtf8();
    copyTemplate(madeFrom, path, [demoCity](const QString &made) { runMakeDispatchDb(made, demoCity); });
}

void CopyNewServiceDatabase(const QString &path)
{
    QByteArray madeFrom = "service";
    for (const ServiceTable &table : ServiceTables())
        madeFrom += (table.createSql + table.indexSql).toUtf8();
    copyTemplate(madeFrom, path, [](const QString &made) {
        CreateServiceDatabase(made, {QStringLiteral("SYSDBA"), QStringLiteral("masterkey")}, [](const QStringList &) {});
    });
}

ServiceFolder::ServiceFolder(bool demoCity) : dir_(QStringLiteral("kv-service"))
{
    MakeDispatchDatabase(dispatchDatabase(), demoCity);
    QDir(path()).mkdir(QStringLiteral("LOG"));
}

void ServiceFolder::writeSettings(const QString &extra, const QString &databaseExtra) const
{
    QFile file(filePath(QStringLiteral("SETSERVER.INI")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write SETSERVER.INI");
    const QString text = QStringLiteral("[SHLYAH_BAZA]\nSERVER=%1\nPATH_BAZA=%2\nNAME_BAZA=DISPATCH.FDB\n%4"
                                        "[SET_SERV]\nLOGIN=SYSDBA\nPASS=%3\n")
                             .arg(serverPrefix_, path(), password_, databaseExtra)
        + extra;
    file.write(text.toUtf8());
}

void ServiceFolder::createServiceDatabase(const QList<QPair<QString, QString>> &accounts) const
{
    const DatabaseLogin login{QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
    const QString service = filePath(QStringLiteral("KORVANTIS_KLIENT.FDB"));
    CopyNewServiceDatabase(service);
    fb::Attachment base;
    base.open({service, login.user, login.password});
    fb::Transaction transaction(base);
    fb::Query insert(transaction);
    int number = 0;
    for (const auto &[code, password] : accounts)
        insert.execute(QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, "
                                      "TABLE_KLIENT_BAN) VALUES (?, ?, ?, '-')"),
                       {++number, code, password});
    transaction.commitIfActive();
}

void ServiceFolder::useServer(const QString &sysdbaPassword, const QString &prefix)
{
    serverPrefix_ = prefix;
    password_ = sysdbaPassword;
}

QString ServiceFolder::dispatchConnection() const
{
    return serverPrefix_ + dispatchDatabase();
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
