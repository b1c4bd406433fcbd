#include "shell/xlsx_sheet.h"

#include "common/regional_format.h"

#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <utility>

namespace {

// The workbook is written to its file when it is closed, also on the way out of an error.
class Workbook {
public:
    explicit Workbook(const QString &path) : book_(workbook_new(QFile::encodeName(path).constData())) {}
    ~Workbook()
    {
        if (book_)
            workbook_close(book_);
    }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    lxw_workbook *get() const { return book_; }
    lxw_error close() { return workbook_close(std::exchange(book_, nullptr)); }

private:
    lxw_workbook *book_;
};

struct Formats {
    lxw_format *record, *date, *time, *dateTime;
};

lxw_format *recordFormat(lxw_workbook *book, const char *numberFormat)
{
    lxw_format *format = workbook_add_format(book);
    format_set_font_name(format, "Arial cur");
    format_set_font_size(format, 10);
    if (numberFormat)
        format_set_num_format(format, numberFormat);
    return format;
}

// Excel counts days from 1900: other dates go in as their text.
bool excelDate(const QDate &date) { return date.isValid() && date.year() >= 1900 && date.year() <= 9999; }

lxw_datetime cellDateTime(const QDate &date, const QTime &time)
{
    return {date.isValid() ? date.year() : 0, date.isValid() ? date.month() : 0, date.isValid() ? date.day() : 0,
            time.hour(), time.minute(), time.second() + time.msec() / 1000.0};
}

lxw_error writeText(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const QString &text, lxw_format *format)
{
    return worksheet_write_string(sheet, row, column, text.toUtf8().constData(), format);
}

lxw_error writeCell(lxw_worksheet *sheet, lxw_row_t row, lxw_col_t column, const fb::Value &value,
                    const Formats &f)
{
    if (std::holds_alternative<std::monostate>(value))
        return LXW_NO_ERROR;
    if (const auto *n = std::get_if<qint64>(&value))
        return worksheet_write_number(sheet, row, column, double(*n), f.record);
    if (const auto *d = std::get_if<double>(&value))
        return worksheet_write_number(sheet, row, column, *d, f.record);
    if (const auto *date = std::get_if<QDate>(&value)) {
        lxw_datetime cell = cellDateTime(*date, QTime(0, 0));
        return excelDate(*date) ? worksheet_write_datetime(sheet, row, column, &cell, f.date)
                                : writeText(sheet, row, column, fb::valueText(value), f.record);
    }
    if (const auto *time = std::get_if<QTime>(&value)) {
        lxw_datetime cell = cellDateTime(QDate(), *time);
        return worksheet_write_datetime(sheet, row, column, &cell, f.time);
    }
    if (const auto *moment = std::get_if<QDateTime>(&value)) {
        lxw_datetime cell = cellDateTime(moment->date(), moment->time());
        return excelDate(moment->date()) ? worksheet_write_datetime(sheet, row, column, &cell, f.dateTime)
                                         : writeText(sheet, row, column, fb::valueText(value), f.record);
    }
    return writeText(sheet, row, column, std::get<QString>(value), f.record);
}

// Characters of the widest line the cell shows.
int shownWidth(const QString &text)
{
    qsizetype widest = 0;
    for (const QStringView line : QStringView(text).split(u'\n'))
        widest = std::max(widest, line.size());
    return int(widest);
}

}  // namespace

SheetOutcome WriteSheet(const QString &path, const QString &sheetName, const QStringList &columns,
                        const std::vector<std::vector<fb::Value>> &rows)
{
    SheetOutcome outcome;
    Workbook book(path);
    if (!book.get()) {
        outcome.failure = QStringLiteral("неможливо створити книгу");
        return outcome;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(book.get(), sheetName.left(31).toUtf8().constData());
    const Formats formats{recordFormat(book.get(), nullptr), recordFormat(book.get(), "dd.mm.yyyy"),
                          recordFormat(book.get(), "hh:mm:ss"), recordFormat(book.get(), "dd.mm.yyyy hh:mm:ss")};
    std::vector<int> widths(size_t(columns.size()), 0);
    lxw_error error = LXW_NO_ERROR;
    for (int c = 0; c < columns.size() && error == LXW_NO_ERROR; ++c) {
        error = writeText(sheet, 0, lxw_col_t(c), columns[c], nullptr);
        widths[size_t(c)] = shownWidth(columns[c]);
    }
    for (size_t r = 0; r < rows.size() && error == LXW_NO_ERROR; ++r) {
        const std::vector<fb::Value> &record = rows[r];
        for (size_t c = 0; c < record.size() && c < widths.size() && error == LXW_NO_ERROR; ++c) {
            error = writeCell(sheet, lxw_row_t(r + 1), lxw_col_t(c), record[c], formats);
            widths[c] = std::max(widths[c], shownWidth(fb::valueText(record[c])));
        }
        if (error == LXW_NO_ERROR)
            ++outcome.rowsWritten;
    }
    if (error != LXW_NO_ERROR)
        outcome.failure = QString::fromUtf8(lxw_strerror(error));
    // A few characters of margin, and no column wider than a screen.
    constexpr int kWidest = 100;
    for (size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(widths[c], kWidest) + 2, nullptr);

    const lxw_error closed = book.close();
    outcome.written = closed == LXW_NO_ERROR;
    if (!outcome.written)
        outcome.failure = QString::fromUtf8(lxw_strerror(closed));
    return outcome;
}
