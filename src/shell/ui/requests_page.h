#pragma once

#include "shell/client_search.h"
#include "shell/registration_requests.h"

#include <QWidget>

class OperatorGrid;
class QLineEdit;
class QPushButton;
class ServiceContext;

// The page "  ПОДАНІ  ЗАЯВКИ  ": the requests grid, the selected request with its
// correction buttons, its comparison with the dispatchers' client and the accounts,
// and the creation of the account. The handling is RegistrationRequests'.
class RequestsPage : public QWidget {
    Q_OBJECT
public:
    explicit RequestsPage(ServiceContext &context, QWidget *parent = nullptr);

    RegistrationRequests &logic() { return logic_; }
    OperatorGrid *grid() const { return DBGrid2; }

signals:
    void clientsRequested(const ClientSearch &search);

private:
    QWidget *buildEditing();
    QWidget *buildComparison();
    QWidget *buildCreation();
    void showSelection(const RequestSelection &selection);

    RegistrationRequests logic_;
    OperatorGrid *DBGrid2;
    QLineEdit *Edit28, *Edit29, *Edit23, *Edit24, *Edit25;
    QLineEdit *Edit14, *Edit15, *Edit18, *Edit19;
    QLineEdit *Edit26;
    QPushButton *SpeedButton11, *SpeedButton12, *SpeedButton35;
};
