#pragma once

#include <QStringList>

class QTableWidget;

// The look every operator grid shares: read-only, one whole row selected at a time,
// alternating rows, no row numbers, columns fitted to their contents with the last one
// taking the rest.
void SetUpRowGrid(QTableWidget &grid, const QStringList &captions);

// The column of a snapshot's field names holding `name` (case ignored, as the database
// names fields); -1 when there is none.
int FieldIndex(const QStringList &fields, const QString &name);
