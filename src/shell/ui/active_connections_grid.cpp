#include "shell/ui/active_connections_grid.h"

ActiveConnectionsGrid::ActiveConnectionsGrid(TDANI &danni, QWidget *parent)
    : OperatorGrid(danni, TDANI::Grid::Activ,
                   {{QStringLiteral("TABLE_ACTIV_NP"), QStringLiteral("н/п")},
                    {QStringLiteral("TABLE_ACTIV_IP"), QStringLiteral("IP")},
                    {QStringLiteral("TABLE_ACTIV_ID"), QStringLiteral("ID")},
                    {QStringLiteral("TABLE_ACTIV_KOD"), QStringLiteral("Код клієнта")},
                    {QStringLiteral("TABLE_ACTIV_VHID"), QStringLiteral("Дата і час входу")},
                    {QStringLiteral("TABLE_ACTIV_TELEF"), QStringLiteral("Номер телефона")},
                    {QStringLiteral("TABLE_ACTIV_END"), QStringLiteral("ЧАС ЗАКІНЧЕННЯ СЕСІЇ")}},
                   parent)
{
    setObjectName(QStringLiteral("DBGrid1"));
    connect(this, &QTableWidget::cellDoubleClicked, this, [this] {
        if (rowCount() > 0)
            emit clientRequested(selectedClientCode());
    });
}

QString ActiveConnectionsGrid::selectedClientCode() const { return currentValue(QStringLiteral("TABLE_ACTIV_KOD")); }
