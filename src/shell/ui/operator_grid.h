#pragma once

#include "data/danni.h"

#include <QTableWidget>

#include <vector>

// A grid of an operator page over one of the data module's datasets. It shows the
// rows the data module hands over, finding each column by its field name, and moves
// the dataset with the operator's selection, so that the row shown selected is always
// the dataset's current row, whatever refresh the web threads have on its way.
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
    void rowChosen(int recNo);  // the operator moved the dataset to this row (1-based)
    void currentRowShown();     // the current row changed, by the operator or a refresh

private:
    void chooseRow(int row);

    TDANI &danni_;
    const TDANI::Grid grid_;
    std::vector<Column> columns_;
    GridSnapshot snapshot_;
    bool showing_ = false;
};
