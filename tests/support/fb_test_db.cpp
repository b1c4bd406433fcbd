#include "fb_test_db.h"

namespace kvtest {

FbTestDb::FbTestDb(const QStringList &ddl, const QString &defaultCharset, int pageSize)
    : dir_(QStringLiteral("kv-fb"))
{
    if (!dir_.isValid())
        throw fb::Error(QStringLiteral("Cannot create a temporary folder"));
    path_ = dir_.filePath(QStringLiteral("TEST.FDB"));
    fb::Attachment::createDatabase(params(), pageSize, defaultCharset);
    run(ddl);
}

FbTestDb::~FbTestDb() = default;

fb::ConnectParams FbTestDb::params() const
{
    fb::ConnectParams p;
    p.database = path_;
    p.user = QStringLiteral("SYSDBA");
    p.password = QStringLiteral("masterkey");
    return p;
}

std::unique_ptr<fb::Attachment> FbTestDb::connect() const
{
    auto attachment = std::make_unique<fb::Attachment>();
    attachment->open(params());
    return attachment;
}

void FbTestDb::run(const QStringList &statements) const
{
    if (statements.isEmpty())
        return;
    auto attachment = connect();
    for (const QString &sql : statements) {
        fb::Transaction transaction(*attachment);
        fb::Query query(transaction);
        query.execute(sql);
        transaction.commit();
    }
}

int FbTestDb::exec(const QString &sql, const fb::Params &params) const
{
    auto attachment = connect();
    fb::Transaction transaction(*attachment);
    fb::Query query(transaction);
    const int affected = query.execute(sql, params);
    transaction.commit();
    return affected;
}

}  // namespace kvtest
