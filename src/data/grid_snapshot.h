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
};

Q_DECLARE_METATYPE(GridSnapshot)
