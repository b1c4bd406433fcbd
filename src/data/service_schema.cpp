#include "data/service_schema.h"

#include "data/fb.h"

namespace {

QString sql(std::initializer_list<const char *> lines)
{
    QStringList text;
    for (const char *line : lines)
        text << QString::fromUtf8(line);
    return text.join(u'\n');
}

const QString kDashes(36, u'-');

}  // namespace

const std::vector<ServiceTable> &ServiceTables()
{
    static const std::vector<ServiceTable> tables = {
        {QStringLiteral("TABLE_KLIENT"),
         QStringLiteral("ЗАПРОС СТВОРЕННЯ ТАБЛИЦІ TABLE_KLIENT (список клієнтів системи WEB сервіса) :"),
         sql({"CREATE TABLE TABLE_KLIENT (",
              "TABLE_KLIENT_NP INTEGER NOT NULL PRIMARY KEY,",
              "TABLE_KLIENT_KOD VARCHAR(10),",
              "TABLE_KLIENT_PASS VARCHAR(10),",
              "TABLE_KLIENT_TELEF VARCHAR(30),",
              "TABLE_KLIENT_BAN VARCHAR(1),",
              "TABLE_KLIENT_DATBAN DATE,",
              "TABLE_KLIENT_TIMEBAN TIME,",
              "TABLE_KLIENT_POVID VARCHAR(500),",
              "TABLE_KLIENT_DODAT VARCHAR(500))"}),
         QStringLiteral("IND_TABLE_KLIENT_KOD"),
         QStringLiteral("CREATE INDEX IND_TABLE_KLIENT_KOD ON  TABLE_KLIENT (TABLE_KLIENT_KOD)")},
        {QStringLiteral("TABLE_ZAYAVKA"),
         QStringLiteral("ЗАПРОС СТВОРЕННЯ ТАБЛИЦІ TABLE_ZAYAVKA (таблиця заявок на реєструвані в системі) :"),
         sql({"CREATE TABLE TABLE_ZAYAVKA (",
              "TABLE_ZAYAVKA_NP INTEGER NOT NULL PRIMARY KEY,",
              "TABLE_ZAYAVKA_DATA DATE,",
              "TABLE_ZAYAVKA_KOD VARCHAR(10),",
              "TABLE_ZAYAVKA_PASS VARCHAR(10),",
              "TABLE_ZAYAVKA_TELEF VARCHAR(30),",
              "TABLE_ZAYAVKA_DODAT VARCHAR(1000),",
              "TABLE_ZAYAVKA_PRIM VARCHAR(500))"}),
         {}, {}},
        {QStringLiteral("TABLE_ACTIV"),
         QStringLiteral("ЗАПРОС СТВОРЕННЯ ТАБЛИЦІ TABLE_ACTIV (активних в даний час клієнтів) :"),
         sql({"CREATE TABLE TABLE_ACTIV (",
              "TABLE_ACTIV_NP INTEGER NOT NULL PRIMARY KEY,",
              "TABLE_ACTIV_IP VARCHAR(15),",
              "TABLE_ACTIV_ID VARCHAR(100),",
              "TABLE_ACTIV_KOD VARCHAR(10),",
              "TABLE_ACTIV_VHID TIMESTAMP,",
              "TABLE_ACTIV_END TIMESTAMP,",
              "TABLE_ACTIV_TELEF VARCHAR(30))"}),
         {}, {}},
        {QStringLiteral("TABLE_SKARGA"),
         QStringLiteral("ЗАПРОС СТВОРЕННЯ ТАБЛИЦІ TABLE_SKARGA (таблиця скарг і пропозицій) :"),
         sql({"CREATE TABLE TABLE_SKARGA (",
              "TABLE_SKARGA_NP INTEGER NOT NULL PRIMARY KEY,",
              "TABLE_SKARGA_VIDPOV VARCHAR(1),",
              "TABLE_SKARGA_DATA DATE,",
              "TABLE_SKARGA_TIME TIME,",
              "TABLE_SKARGA_KOD VARCHAR(10),",
              "TABLE_SKARGA_TELEF VARCHAR(30),",
              "TABLE_SKARGA_TEXT VARCHAR(500))"}),
         {}, {}},
        {QStringLiteral("TABLE_REKLAMA"),
         QStringLiteral("ЗАПРОС СТВОРЕННЯ ТАБЛИЦІ TABLE_REKLAMA (таблиця розкладу реклами) :"),
         sql({"CREATE TABLE TABLE_REKLAMA (",
              "TABLE_REK_NP INTEGER NOT NULL PRIMARY KEY,",
              "TABLE_REK_ACTIV VARCHAR(1),",
              "TABLE_REK_NAME VARCHAR(300),",
              "TABLE_REK_DATE DATE,",
              "TABLE_REK_RIS VARCHAR(300),",
              "TABLE_REK_SAIT VARCHAR(50),",
              "TABLE_REK_TEXT VARCHAR(500))"}),
         QStringLiteral("IND_TABLE_REK_NAME"),
         QStringLiteral("CREATE INDEX IND_TABLE_REK_NAME ON  TABLE_REKLAMA (TABLE_REK_NAME)")},
    };
    return tables;
}

void CreateServiceDatabase(const QString &path, const DatabaseLogin &login,
                           const std::function<void(const QStringList &)> &progress)
{
    const fb::ConnectParams params{path, login.user, login.password};
    fb::Attachment::createDatabase(params, 4096, QStringLiteral("WIN1251"));
    progress({QStringLiteral("+ СТВОРЕНО БАЗУ ДАНИХ KORVANTIS_KLIENT.FDB"), kDashes, QString()});

    fb::Attachment attachment;
    attachment.open(params);
    fb::Transaction transaction(attachment);
    fb::Query query(transaction);
    for (const ServiceTable &table : ServiceTables()) {
        QStringList lines{table.heading};
        lines << table.createSql.split(u'\n');
        query.execute(table.createSql);
        // The engine builds a table at commit; its index needs it built.
        transaction.commit();
        lines << QStringLiteral("+ СТВОРЕНО ТАБЛИЦЮ ") + table.name;
        if (!table.indexName.isEmpty()) {
            query.execute(table.indexSql);
            transaction.commit();
            lines << QStringLiteral("+ СТВОРЕНО КЛЮЧ ТАБЛИЦІ ") + table.indexName;
        }
        lines << kDashes << QString();
        progress(lines);
    }
    attachment.close();
}
