#include "shell/ui/operator_grid.h"

#include "shell/ui/grid_look.h"

OperatorGrid::OperatorGrid(TDANI &danni, TDANI::Grid grid, std::vector<Column> columns, QWidget *parent)
    : QTableWidget(parent), columns_(std::move(columns))
{
    QStringList captions;
    for (const Column &column : columns_)
        captions << column.caption;
    SetUpRowGrid(*this, captions);

    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow) {
        if (showing_ || row == previousRow || row < 0)
            return;
        emit rowChosen(row + 1);
        emit currentRowShown();
    });
    // Web threads reopen the grids when clients apply or complain.
    connect(
        &danni, &TDANI::gridChanged, this,
        [this, grid](TDANI::Grid changed, const GridSnapshot &snapshot) {
            if (changed == grid)
                showSnapshot(snapshot);
        },
        Qt::QueuedConnection);
}

void OperatorGrid::showSnapshot(const GridSnapshot &snapshot)
{
    snapshot_ = snapshot;
    std::vector<int> source;
    for (const Column &column : columns_)
        source.push_back(FieldIndex(snapshot.columns, column.field));

    showing_ = true;
    clearContents();
    setRowCount(int(snapshot.rows.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const QStringList &values = snapshot.rows[size_t(row)];
        for (int column = 0; column < columnCount(); ++column)
            setItem(row, column, new QTableWidgetItem(values.value(source[size_t(column)])));
    }
    if (snapshot.position > 0 && snapshot.position <= rowCount())
        setCurrentCell(snapshot.position - 1, 0);
    showing_ = false;
    emit currentRowShown();
}

QString OperatorGrid::currentValue(const QString &field) const
{
    const int row = currentRow();
    if (row < 0 || row >= int(snapshot_.rows.size()))
        return {};
    return snapshot_.rows[size_t(row)].value(FieldIndex(snapshot_.columns, field));
}
