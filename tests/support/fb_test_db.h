#pragma once

#include "data/fb.h"
#include "temp_dir.h"

#include <QStringList>

#include <memory>

namespace kvtest {

// An empty database for the embedded engine (a plain file path: the engine runs inside
// the test process, no server needed) in a temporary folder that goes away with it.
//
//     kvtest::FbTestDb db({"CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20))"});
//     auto attachment = db.connect();
//     fb::Transaction tr(*attachment);
//     fb::Query q(tr);
//     q.open("SELECT NAME FROM T WHERE ID = ?", {1});
//
// The embedded engine opens a database file for its own process only; attachments from
// the same process (several at once) are fine.
class FbTestDb {
public:
    // Creates the database (dialect 3, given default character set) and runs `ddl`,
    // each statement in a transaction of its own. Throws fb::Error on failure.
    explicit FbTestDb(const QStringList &ddl = {}, const QString &defaultCharset = QStringLiteral("WIN1251"),
                      int pageSize = 8192);
    ~FbTestDb();
    FbTestDb(const FbTestDb &) = delete;
    FbTestDb &operator=(const FbTestDb &) = delete;

    const QString &path() const { return path_; }
    const TempDir &dir() const { return dir_; }
    fb::ConnectParams params() const;  // path, SYSDBA / masterkey

    // A new open attachment to the database.
    std::unique_ptr<fb::Attachment> connect() const;

    // Runs statements (DDL or DML without result), each committed on its own.
    void run(const QStringList &statements) const;
    // Runs one statement with parameters and commits it; returns the rows affected.
    int exec(const QString &sql, const fb::Params &params = {}) const;

private:
    TempDir dir_;
    QString path_;
};

}  // namespace kvtest
