#include "shell/ui/operator_grid.h"

#include "common/service_lock.h"
#include "shell/ui/grid_look.h"

#include <optional>

OperatorGrid::OperatorGrid(TDANI &danni, TDANI::Grid grid, std::vector<Column> columns, QWidget *parent)
    : QTableWidget(parent), danni_(danni), grid_(grid), columns_(std::move(columns))
{
    QStringList captions;
    for (const Column &column : columns_)
        captions << column.caption;
    SetUpRowGrid(*this, captions);

    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow) {
        if (!showing_ && row != previousRow && row >= 0)
            chooseRow(row);
    });
    // Web threads reopen the grids when clients apply or complain. A snapshot no newer
    // than the rows shown is passed over: its position may be older than the operator's
    // last move.
    connect(
        &danni, &TDANI::gridChanged, this,
        [this](TDANI::Grid changed, const GridSnapshot &snapshot) {
            if (changed == grid_ && snapshot.generation > snapshot_.generation)
                showSnapshot(snapshot);
        },
        Qt::QueuedConnection);
}

void OperatorGrid::chooseRow(int row)
{
    std::optional<GridSnapshot> current;
    {
        ServiceLockGuard lock(ServiceLock());
        if (!danni_.SelectRow(grid_, row + 1, snapshot_.generation))
            current = danni_.Snapshot(grid_);
    }
    if (current) {
        // The rows under the operator's click are gone: the grid shows the dataset as it
        // stands, on its current row, rather than a row the dataset is not on.
        showSnapshot(*current);
        return;
    }
    emit rowChosen(row + 1);
    emit currentRowShown();
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
