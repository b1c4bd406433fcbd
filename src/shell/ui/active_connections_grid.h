#pragma once

#include "data/danni.h"

#include <QTableWidget>

// The grid of the "  АКТИВНІ ЗЄДНАННЯ  " page over TABLE_ACTIV. It shows the rows the
// data module hands over and keeps the data module's current row in step with the
// operator's selection.
class ActiveConnectionsGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ActiveConnectionsGrid(TDANI &danni, QWidget *parent = nullptr);

    void showSnapshot(const GridSnapshot &snapshot);
    // Client code of the selected row; empty when there is none.
    QString selectedClientCode() const;

signals:
    // A double click on a row: the operator wants that client's account.
    void clientRequested(const QString &clientCode);

private:
    void onCurrentRowChanged(int row);

    TDANI &danni_;
    bool showing_ = false;
};
