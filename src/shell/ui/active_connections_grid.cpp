#include "shell/ui/active_connections_grid.h"

#include "common/service_lock.h"
#include "shell/ui/grid_look.h"


#include <array>

namespace {

struct Column {
    const char *field;
    const char *caption;
};

const std::array<Column, 7> kColumns{{
    {"TABLE_ACTIV_NP", "н/п"},
    {"TABLE_ACTIV_IP", "IP"},
    {"TABLE_ACTIV_ID", "ID"},
    {"TABLE_ACTIV_KOD", "Код клієнта"},
    {"TABLE_ACTIV_VHID", "Дата і час входу"},
    {"TABLE_ACTIV_TELEF", "Номер телефона"},
    {"TABLE_ACTIV_END", "ЧАС ЗАКІНЧЕННЯ СЕСІЇ"},
}};

constexpr int kCodeColumn = 3;

}  // namespace

ActiveConnectionsGrid::ActiveConnectionsGrid(TDANI &danni, QWidget *parent)
    : QTableWidget(parent), danni_(danni)
{
    setObjectName(QStringLiteral("DBGrid1"));
    QStringList captions;
    for (const Column &column : kColumns)
        captions << QString::fromUtf8(column.caption);
    SetUpRowGrid(*this, captions);

    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow) {
        if (row != previousRow)
            onCurrentRowChanged(row);
    });
    connect(this, &QTableWidget::cellDoubleClicked, this, [this] {
        if (rowCount() > 0)
            emit clientRequested(selectedClientCode());
    });
    // Web threads reopen the grid when sessions come and go.
    connect(
        &danni_, &TDANI::gridChanged, this,
        [this](TDANI::Grid grid, const GridSnapshot &snapshot) {
            if (grid == TDANI::Grid::Activ)
                showSnapshot(snapshot);
        },
        Qt::QueuedConnection);
}

void ActiveConnectionsGrid::showSnapshot(const GridSnapshot &snapshot)
{
    // Fields are found by name: the column order of the table is not ours to rely on.
    std::array<int, kColumns.size()> source;
    for (size_t i = 0; i < kColumns.size(); ++i)
        source[i] = FieldIndex(snapshot.columns, QString::fromLatin1(kColumns[i].field));

    showing_ = true;
    clearContents();
    setRowCount(int(snapshot.rows.size()));
    for (int row = 0; row < rowCount(); ++row) {
        const QStringList &values = snapshot.rows[size_t(row)];
        for (int column = 0; column < columnCount(); ++column) {
            const int from = source[size_t(column)];
            setItem(
                row, column,
                new QTableWidgetItem(from >= 0 && from < values.size() ? values[from] : QString()));
        }
    }
    if (snapshot.position > 0 && snapshot.position <= rowCount())
        setCurrentCell(snapshot.position - 1, 0);
    showing_ = false;
}

QString ActiveConnectionsGrid::selectedClientCode() const
{
    const QTableWidgetItem *code = item(currentRow(), kCodeColumn);
    return code ? code->text() : QString();
}

void ActiveConnectionsGrid::onCurrentRowChanged(int row)
{
    if (showing_ || row < 0)
        return;
    ServiceLockGuard lock(ServiceLock());
    danni_.SelectRow(TDANI::Grid::Activ, row + 1);
}
