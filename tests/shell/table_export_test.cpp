// The table export on real databases: each dataset into a real .xlsx, read back by
// unzipping it and parsing the sheet's XML.

#include "../common/qt_print.h"
#include "adverts/advert_schedule.h"
#include "operator_tables.h"
#include "shell/clients_table.h"
#include "shell/table_export.h"
#include "shell/xlsx_sheet.h"
#include "xlsx_reader.h"

#include <QDir>
#include <QFile>

namespace {

class TableExportTest : public kvtest::OperatorTablesTest {
protected:
    // Exports `grid`; the file is opened as the desktop would when `desktop` is set.
    QString exportGrid(TDANI::Grid grid, bool desktop = true)
    {
        return ExportGrid(context, grid, [this, desktop](const QString &path) {
            opened << path;
            return desktop;
        });
    }
    static QString joined(const QStringList &cells) { return cells.join(u'|'); }

    QStringList opened;
};

TEST_F(TableExportTest, EachDatasetAsItStandsWithTypedCells)
{
    const QDateTime entered(QDate(2024, 5, 1), QTime(10, 30, 15));
    sql("INSERT INTO TABLE_ACTIV VALUES (?, ?, ?, ?, ?, ?, ?)",
        {{1, "10.0.0.1", "web-1", "00101", entered, entered.addSecs(600), "0671112233"}});
    sql("INSERT INTO TABLE_ZAYAVKA VALUES (1, ?, '00101', 'o''k', '067', ?, ?)",
        {{QDate(2024, 5, 2), "=1+1", QStringLiteral("<b>&\x01 \"лапки\"")}});
    sql("INSERT INTO TABLE_SKARGA VALUES (%1, ?, ?, ?, '00101', '067', ?)",
        {{"-", QDate(2024, 5, 3), QTime(8, 5, 0), "перша"}, {"+", nullptr, nullptr, "опрацьована"},
         {"-", QDate(2024, 5, 4), QTime(23, 59, 59), "третя"}},
        "TABLE_SKARGA");
    sql("INSERT INTO TABLE_KLIENT VALUES (%1, ?, 'p', ?, ?, ?, ?, ?, NULL)",
        {{"00310", "050", "-", nullptr, nullptr, nullptr},
         {"00220", "067", "-", nullptr, nullptr, nullptr},
         {"00101", "093", "+", QDate(2030, 1, 2), QTime(12, 0), QString(300, u'ж')}},
        "TABLE_KLIENT");
    sql("INSERT INTO TABLE_REKLAMA VALUES (7, '+', 'Кав''ярня', ?, 'cafe.png', 'http://cafe.example', ?)",
        {{QDate(2031, 12, 31), "Рядок\r\nдругий"}});

    ClientsTable clients(context);
    clients.FormShow();
    ClientFilters filters;
    filters[size_t(ClientColumn::Code)] = {true, QStringLiteral("1")};
    clients.search(filters);
    AdvertSchedule adverts(context);
    adverts.SpeedButton13Click();

    struct Case {
        TDANI::Grid grid;
        QStringList rows;
    };
    const std::vector<Case> cases = {
        {TDANI::Grid::Activ,
         {"s:TABLE_ACTIV_NP|s:TABLE_ACTIV_IP|s:TABLE_ACTIV_ID|s:TABLE_ACTIV_KOD|s:TABLE_ACTIV_VHID|s:TABLE_ACTIV_END|"
          "s:TABLE_ACTIV_TELEF",
          "n:1|s:10.0.0.1|s:web-1|s:00101|dt:01.05.2024 10:30:15|dt:01.05.2024 10:40:15|s:0671112233"}},
        {TDANI::Grid::Zayavki,
         {"s:TABLE_ZAYAVKA_NP|s:TABLE_ZAYAVKA_DATA|s:TABLE_ZAYAVKA_KOD|s:TABLE_ZAYAVKA_PASS|s:TABLE_ZAYAVKA_TELEF|"
          "s:TABLE_ZAYAVKA_DODAT|s:TABLE_ZAYAVKA_PRIM",
          QStringLiteral("n:1|d:02.05.2024|s:00101|s:o'k|s:067|s:=1+1|s:<b>&\x01 \"лапки\"")}},
        // Only the unhandled complaints, newest first, as the page shows them.
        {TDANI::Grid::Skarga,
         {"s:TABLE_SKARGA_NP|s:TABLE_SKARGA_VIDPOV|s:TABLE_SKARGA_DATA|s:TABLE_SKARGA_TIME|s:TABLE_SKARGA_KOD|"
          "s:TABLE_SKARGA_TELEF|s:TABLE_SKARGA_TEXT",
          "n:3|s:-|d:04.05.2024|t:23:59:59|s:00101|s:067|s:третя", "n:1|s:-|d:03.05.2024|t:08:05:00|s:00101|s:067|s:перша"}},
        // The accounts the search found, by code.
        {TDANI::Grid::Klient,
         {"s:TABLE_KLIENT_NP|s:TABLE_KLIENT_KOD|s:TABLE_KLIENT_PASS|s:TABLE_KLIENT_TELEF|s:TABLE_KLIENT_BAN|"
          "s:TABLE_KLIENT_DATBAN|s:TABLE_KLIENT_TIMEBAN|s:TABLE_KLIENT_POVID|s:TABLE_KLIENT_DODAT",
          "n:3|s:00101|s:p|s:093|s:+|d:02.01.2030|t:12:00:00|s:" + QString(300, u'ж') + u'|',
          "n:1|s:00310|s:p|s:050|s:-||||"}},
        {TDANI::Grid::Reklama,
         {"s:TABLE_REK_NP|s:TABLE_REK_ACTIV|s:TABLE_REK_NAME|s:TABLE_REK_DATE|s:TABLE_REK_RIS|s:TABLE_REK_SAIT|"
          "s:TABLE_REK_TEXT",
          "n:7|s:+|s:Кав'ярня|d:31.12.2031|s:cafe.png|s:http://cafe.example|s:Рядок\r\nдругий"}},
    };
    for (const Case &c : cases) {
        const QString path = exportGrid(c.grid);
        ASSERT_FALSE(path.isEmpty()) << GridTable(c.grid).toStdString() << prompt.messages.join(u'\n').toStdString();
        EXPECT_EQ(QFileInfo(path).dir().absolutePath(), QDir(folder.filePath(QStringLiteral("EXPORT"))).absolutePath());
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith(GridTable(c.grid) + u'_'));
        EXPECT_EQ(opened.last(), path);
        EXPECT_TRUE(prompt.messages.last().contains(QDir::toNativeSeparators(path)));

        const kvtest::XlsxSheet sheet = kvtest::ReadXlsx(path);
        QStringList rows;
        for (const QStringList &row : sheet.rows)
            rows << joined(row);
        EXPECT_EQ(rows, c.rows) << GridTable(c.grid).toStdString();
        // The records in "Arial cur" 10, the header as the sheet's default.
        EXPECT_EQ(sheet.fonts.count(QStringLiteral("A1")), 0u);
        EXPECT_EQ(sheet.fonts.at(QStringLiteral("A2")), QStringLiteral("Arial cur 10"));
    }

    // A second export in the same second gets a name of its own.
    const QString first = exportGrid(TDANI::Grid::Klient, false);
    const QString second = exportGrid(TDANI::Grid::Klient, false);
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(prompt.messages.last().contains(QStringLiteral("Відкрийте його")));
}

TEST_F(TableExportTest, EmptyTableGivesTheHeaderAloneAndAnUnwritableFolderNoFile)
{
    const QString path = exportGrid(TDANI::Grid::Skarga);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(kvtest::ReadXlsx(path).rows.size(), 1u);

    QDir(folder.filePath(QStringLiteral("EXPORT"))).removeRecursively();
    QFile blocker(folder.filePath(QStringLiteral("EXPORT")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    prompt.messages.clear();
    opened.clear();
    EXPECT_TRUE(exportGrid(TDANI::Grid::Zayavki).isEmpty());
    ASSERT_EQ(prompt.messages.size(), 1);
    EXPECT_TRUE(prompt.messages.front().contains(QStringLiteral("Таблицю не експортовано")));
    EXPECT_TRUE(opened.isEmpty());
}

TEST(XlsxSheetTest, AnErrorWhileFillingKeepsTheRowsWrittenSoFar)
{
    kvtest::TempDir dir;
    const QString path = dir.filePath(QStringLiteral("partial.xlsx"));
    const std::vector<std::vector<fb::Value>> rows = {
        {qint64(1), QStringLiteral("один")},
        {qint64(2), QString(40000, u'x')},  // over the longest text a cell holds
        {qint64(3), QStringLiteral("три")},
    };
    const SheetOutcome outcome = WriteSheet(path, QStringLiteral("T"), {QStringLiteral("N"), QStringLiteral("S")}, rows);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(outcome.rowsWritten, 1);
    EXPECT_FALSE(outcome.failure.isEmpty());
    const kvtest::XlsxSheet sheet = kvtest::ReadXlsx(path);
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(sheet.rows[1], (QStringList{QStringLiteral("n:1"), QStringLiteral("s:один")}));
}

}  // namespace
