#include "shell/ui/operator_grid.h"

#include <QHeaderView>

namespace {

int fieldIndex(const QStringList &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

}  // namespace

OperatorGrid::OperatorGrid(TDANI &danni, TDANI::Grid grid, std::vector<Column> columns, QWidget *parent)
    : QTableWidget(parent), columns_(std::move(columns))
{
    setColumnCount(int(columns_.size()));
    QStringList captions;
    for (const Column &column : columns_)
        captions << column.caption;
    setHorizontalHeaderLabels(captions);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setStretchLastSection(true);

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
        source.push_back(fieldIndex(snapshot.columns, column.field));

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
    return snapshot_.rows[size_t(row)].value(fieldIndex(snapshot_.columns, field));
}
