#include "data/database_names.h"
#include "data/service_schema.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Firebird's own description of a column: type code, character length, nullability.
QString describe(qint64 type, qint64 length, bool notNull)
{
    QString name;
    switch (type) {
    case 8: name = QStringLiteral("INTEGER"); break;
    case 12: name = QStringLiteral("DATE"); break;
    case 13: name = QStringLiteral("TIME"); break;
    case 35: name = QStringLiteral("TIMESTAMP"); break;
    case 37: name = QStringLiteral("VARCHAR(%1)").arg(length); break;
    default: name = QStringLiteral("type %1").arg(type);
    }
    return notNull ? name + QStringLiteral(" NOT NULL") : name;
}

TEST(ServiceSchema, FreshDatabaseHoldsExactlyTheFiveTablesAndTwoIndexes)
{
    kvtest::TempDir dir;
    const QString path = ServiceDatabaseName(dir.path());
    QStringList progress;
    CreateServiceDatabase(path, {QStringLiteral("SYSDBA"), QStringLiteral("masterkey")},
                          [&](const QStringList &lines) { progress << lines; });
    EXPECT_EQ(progress.first(), QStringLiteral("+ СТВОРЕНО БАЗУ ДАНИХ KORVANTIS_KLIENT.FDB"));
    EXPECT_TRUE(progress.contains(QStringLiteral("+ СТВОРЕНО ТАБЛИЦЮ TABLE_SKARGA")));
    EXPECT_TRUE(progress.contains(QStringLiteral("+ СТВОРЕНО КЛЮЧ ТАБЛИЦІ IND_TABLE_REK_NAME")));
    EXPECT_EQ(progress.count(QString(36, u'-')), 6);

    fb::Attachment attachment;
    attachment.open({path, QStringLiteral("SYSDBA"), QStringLiteral("masterkey")});
    fb::Transaction transaction(attachment);
    fb::Query q(transaction);

    q.open(QStringLiteral(
        "SELECT TRIM(RF.RDB$RELATION_NAME), TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, "
        "COALESCE(F.RDB$CHARACTER_LENGTH, 0), COALESCE(RF.RDB$NULL_FLAG, 0) "
        "FROM RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
        "JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
        "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1, RF.RDB$FIELD_POSITION"));
    std::map<QString, QStringList> columns;
    for (const auto &row : q.rows())
        columns[fb::valueText(row[0])] << fb::valueText(row[1]) + u' '
                + describe(std::get<qint64>(row[2]), std::get<qint64>(row[3]), std::get<qint64>(row[4]) != 0);

    const std::map<QString, QStringList> expected = {
        {QStringLiteral("TABLE_ACTIV"),
         {"TABLE_ACTIV_NP INTEGER NOT NULL", "TABLE_ACTIV_IP VARCHAR(15)", "TABLE_ACTIV_ID VARCHAR(100)",
          "TABLE_ACTIV_KOD VARCHAR(10)", "TABLE_ACTIV_VHID TIMESTAMP", "TABLE_ACTIV_END TIMESTAMP",
          "TABLE_ACTIV_TELEF VARCHAR(30)"}},
        {QStringLiteral("TABLE_KLIENT"),
         {"TABLE_KLIENT_NP INTEGER NOT NULL", "TABLE_KLIENT_KOD VARCHAR(10)", "TABLE_KLIENT_PASS VARCHAR(10)",
          "TABLE_KLIENT_TELEF VARCHAR(30)", "TABLE_KLIENT_BAN VARCHAR(1)", "TABLE_KLIENT_DATBAN DATE",
          "TABLE_KLIENT_TIMEBAN TIME", "TABLE_KLIENT_POVID VARCHAR(500)", "TABLE_KLIENT_DODAT VARCHAR(500)"}},
        {QStringLiteral("TABLE_REKLAMA"),
         {"TABLE_REK_NP INTEGER NOT NULL", "TABLE_REK_ACTIV VARCHAR(1)", "TABLE_REK_NAME VARCHAR(300)",
          "TABLE_REK_DATE DATE", "TABLE_REK_RIS VARCHAR(300)", "TABLE_REK_SAIT VARCHAR(50)",
          "TABLE_REK_TEXT VARCHAR(500)"}},
        {QStringLiteral("TABLE_SKARGA"),
         {"TABLE_SKARGA_NP INTEGER NOT NULL", "TABLE_SKARGA_VIDPOV VARCHAR(1)", "TABLE_SKARGA_DATA DATE",
          "TABLE_SKARGA_TIME TIME", "TABLE_SKARGA_KOD VARCHAR(10)", "TABLE_SKARGA_TELEF VARCHAR(30)",
          "TABLE_SKARGA_TEXT VARCHAR(500)"}},
        {QStringLiteral("TABLE_ZAYAVKA"),
         {"TABLE_ZAYAVKA_NP INTEGER NOT NULL", "TABLE_ZAYAVKA_DATA DATE", "TABLE_ZAYAVKA_KOD VARCHAR(10)",
          "TABLE_ZAYAVKA_PASS VARCHAR(10)", "TABLE_ZAYAVKA_TELEF VARCHAR(30)",
          "TABLE_ZAYAVKA_DODAT VARCHAR(1000)", "TABLE_ZAYAVKA_PRIM VARCHAR(500)"}},
    };
    EXPECT_EQ(columns, expected);

    // Besides the primary keys, exactly the two indexes.
    q.open(QStringLiteral("SELECT TRIM(I.RDB$INDEX_NAME), TRIM(I.RDB$RELATION_NAME), TRIM(S.RDB$FIELD_NAME) "
                          "FROM RDB$INDICES I JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                          "LEFT JOIN RDB$RELATION_CONSTRAINTS C ON C.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                          "WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 AND C.RDB$CONSTRAINT_NAME IS NULL ORDER BY 1"));
    QStringList indexes;
    for (const auto &row : q.rows())
        indexes << QStringList{fb::valueText(row[0]), fb::valueText(row[1]), fb::valueText(row[2])}.join(u' ');
    EXPECT_EQ(indexes, (QStringList{"IND_TABLE_KLIENT_KOD TABLE_KLIENT TABLE_KLIENT_KOD",
                                    "IND_TABLE_REK_NAME TABLE_REKLAMA TABLE_REK_NAME"}));

    // Nothing else: no generators, triggers or procedures of our own.
    q.open(QStringLiteral("SELECT (SELECT COUNT(*) FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0), "
                          "(SELECT COUNT(*) FROM RDB$TRIGGERS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0), "
                          "(SELECT COUNT(*) FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0), "
                          "TRIM(D.RDB$CHARACTER_SET_NAME), M.MON$PAGE_SIZE, M.MON$SQL_DIALECT "
                          "FROM RDB$DATABASE D CROSS JOIN MON$DATABASE M"));
    EXPECT_EQ(q.field(0).asInt(), 0);
    EXPECT_EQ(q.field(1).asInt(), 0);
    EXPECT_EQ(q.field(2).asInt(), 0);
    EXPECT_EQ(q.field(3).asText(), QStringLiteral("WIN1251"));
    EXPECT_EQ(q.field(4).asInt(), 4096);
    EXPECT_EQ(q.field(5).asInt(), 3);
}

TEST(DatabaseNames, SeparatorFollowsTheKindOfPath)
{
    EXPECT_EQ(DispatchDatabaseName("192.168.0.5:", "C:\\TAXI\\BAZA", "TAXI.FDB"),
              QStringLiteral("192.168.0.5:C:\\TAXI\\BAZA\\TAXI.FDB"));
    EXPECT_EQ(DispatchDatabaseName("", "D:", "TAXI.FDB"), QStringLiteral("D:\\TAXI.FDB"));
    EXPECT_EQ(DispatchDatabaseName("", "/srv/taxi", "TAXI.FDB"), QStringLiteral("/srv/taxi/TAXI.FDB"));
    EXPECT_EQ(DispatchDatabaseName("localhost:", "/srv/taxi/", "TAXI.FDB"),
              QStringLiteral("localhost:/srv/taxi/TAXI.FDB"));
}

}  // namespace
