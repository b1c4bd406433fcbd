#pragma once

#include "data/danni.h"

#include <QTableWidget>

#include <vector>

// A grid of an operator page over one of the data module's datasets. It shows the
// rows the data module hands over, finding each column by its field name, and tells
// when the operator moves to another row; the page's logic moves the dataset.
class OperatorGrid : public QTableWidget {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString caption;
    };

    OperatorGrid(TDANI &danni, TDANI::Grid grid, std::vector<Column> columns, QWidget *parent = nullptr);

    void showSnapshot(const GridSnapshot &snapshot);
    // A field of the current row as the last snapshot holds it (shown or not); empty
    // when there is no row.
    QString currentValue(const QString &field) const;

signals:
    void rowChosen(int recNo);  // 1-based
    void currentRowShown();     // the current row changed, by the operator or a refresh

private:
    std::vector<Column> columns_;
    GridSnapshot snapshot_;
    bool showing_ = false;
};
