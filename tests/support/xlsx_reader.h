#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace kvtest {

// The first sheet of an .xlsx file as a spreadsheet program reads it: the file is
// unzipped (unzip) and its XML parsed.
struct XlsxSheet {
    // One list per row from row 1; a cell as "s:text" (a string), "n:42" (a number),
    // "d:01.05.2024", "t:10:30:00" or "dt:01.05.2024 10:30:00" (a number shown by a
    // date or time format), "" when empty.
    std::vector<QStringList> rows;
    std::map<QString, QString> fonts;  // cell reference ("B2") -> "Arial cur 10"
};

// Throws std::runtime_error when the file cannot be read as a workbook.
XlsxSheet ReadXlsx(const QString &path);

}  // namespace kvtest
