#pragma once

#include "shell/ui/operator_grid.h"

// The grid of the "  АКТИВНІ ЗЄДНАННЯ  " page over TABLE_ACTIV.
class ActiveConnectionsGrid : public OperatorGrid {
    Q_OBJECT
public:
    explicit ActiveConnectionsGrid(TDANI &danni, QWidget *parent = nullptr);

    // Client code of the selected row; empty when there is none.
    QString selectedClientCode() const;

signals:
    // A double click on a row: the operator wants that client's account.
    void clientRequested(const QString &clientCode);
};
