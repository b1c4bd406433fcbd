#pragma once

#include <QMetaType>
#include <QStringList>

#include <vector>

// The rows of an operator grid as text, handed from the data module (under the
// service lock) to a window on the main thread.
struct GridSnapshot {
    QStringList columns;
    std::vector<QStringList> rows;
    int position = 0;  // 1-based current row; 0 when empty
    // Which opening of the dataset the rows are from (counted from 1): a grid that shows
    // them knows whether the dataset still holds the same rows.
    quint64 generation = 0;
};

Q_DECLARE_METATYPE(GridSnapshot)
