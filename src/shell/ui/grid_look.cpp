#include "shell/ui/grid_look.h"

#include <QHeaderView>
#include <QTableWidget>

void SetUpRowGrid(QTableWidget &grid, const QStringList &captions)
{
    grid.setColumnCount(int(captions.size()));
    grid.setHorizontalHeaderLabels(captions);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.setAlternatingRowColors(true);
    grid.verticalHeader()->setVisible(false);
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid.horizontalHeader()->setStretchLastSection(true);
}

int FieldIndex(const QStringList &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
