#include "shell/table_export.h"

#include "common/regional_format.h"
#include "shell/operator_action.h"
#include "shell/service_context.h"
#include "shell/xlsx_sheet.h"

#include <QDir>
#include <QFile>

namespace {

// A new, empty file named after the table and the time in `folder`, with "_2", "_3", ...
// when that name is taken; created here so that nothing else takes the name meanwhile.
// Empty, with `error` set, when no file can be made there.
QString reserveFile(const QDir &folder, const QString &table, QString &error)
{
    QString stamp = RegionalFormat::dateTimeText(QDateTime::currentDateTime());
    stamp.replace(u' ', u'_').replace(u':', u'-');
    const QString base = table + u'_' + stamp;
    constexpr int kTries = 1000;
    for (int n = 1; n <= kTries; ++n) {
        const QString path = folder.filePath(n == 1 ? base + QStringLiteral(".xlsx")
                                                    : QStringLiteral("%1_%2.xlsx").arg(base).arg(n));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!file.exists()) {
            error = QStringLiteral("Неможливо створити файл [%1]: %2").arg(QDir::toNativeSeparators(path), file.errorString());
            return {};
        }
    }
    error = QStringLiteral("Неможливо підібрати нове імя файла [%1] в папці [%2]")
                .arg(base, QDir::toNativeSeparators(folder.path()));
    return {};
}

}  // namespace

QString GridTable(TDANI::Grid grid)
{
    switch (grid) {
    case TDANI::Grid::Zayavki: return QStringLiteral("TABLE_ZAYAVKA");
    case TDANI::Grid::Activ: return QStringLiteral("TABLE_ACTIV");
    case TDANI::Grid::Skarga: return QStringLiteral("TABLE_SKARGA");
    case TDANI::Grid::Klient: return QStringLiteral("TABLE_KLIENT");
    case TDANI::Grid::Reklama: return QStringLiteral("TABLE_REKLAMA");
    }
    return {};
}

QString ExportGrid(ServiceContext &context, TDANI::Grid grid, const ExportedFileOpener &open)
{
    const QString table = GridTable(grid);
    const QString notExported = QStringLiteral(" Таблицю не експортовано !");
    QStringList columns;
    std::vector<std::vector<fb::Value>> rows;
    const bool read = RunOperatorWork(context.prompt, QStringLiteral("Помилка експорту таблиці %1.").arg(table), [&] {
        TDANI &d = context.danni;
        const QString sql = d.GridSql(grid);
        if (sql.isEmpty())
            throw fb::Error(QStringLiteral("Таблиця ще не відкрита."));
        fb::Query &q = d.GPRS_RIZNE;
        // The grid's own statement, so that its search and its order apply.
        TDANI::SelectReadOnly(q, sql, d.GridParams(grid));
        columns = q.fieldNames();
        rows = q.rows();
        q.close();
    });
    if (!read)
        return {};

    // The file is written with the lock free: the web pages keep working meanwhile.
    QDir folder(context.folder);
    if (!folder.mkpath(QStringLiteral("EXPORT"))) {
        context.prompt.message(QStringLiteral("Неможливо створити папку EXPORT в [%1].")
                                   .arg(QDir::toNativeSeparators(folder.path()))
                               + notExported);
        return {};
    }
    QString error;
    const QString path = reserveFile(QDir(folder.filePath(QStringLiteral("EXPORT"))), table, error);
    if (path.isEmpty()) {
        context.prompt.message(error + u'.' + notExported);
        return {};
    }
    const SheetOutcome outcome = WriteSheet(path, table, columns, rows);
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!outcome.written) {
        QFile::remove(path);
        context.prompt.message(
            QStringLiteral("Неможливо записати файл [%1]: %2.").arg(shownPath, outcome.failure) + notExported);
        return {};
    }
    const bool shown = open && open(path);
    QString text = outcome.failure.isEmpty()
        ? QStringLiteral("Таблицю %1 експортовано у файл :\n%2").arg(table, shownPath)
        : QStringLiteral("Під час заповнення таблиці %1 сталася помилка (%2): у файл записано рядків %3 з %4.\nФайл :\n%5")
              .arg(table, outcome.failure)
              .arg(outcome.rowsWritten)
              .arg(rows.size())
              .arg(shownPath);
    if (!shown)
        text += QStringLiteral("\nВідкрийте його програмою для електронних таблиць.");
    context.prompt.message(text);
    return path;
}
