#pragma once

#include "shell/client_search.h"

#include <QObject>
#include <QString>

#include <optional>

class ServiceContext;

// What the requests page shows of the selected request, and which buttons work.
struct RequestSelection {
    // Edit28, Edit29, Edit23, Edit24, Edit25: the request as stored.
    QString note, extra, code, telephone, password;
    // Edit14, Edit15, Edit18, Edit19: the dispatchers' client record of that code.
    QString clientExtra, clientName, clientAddress, clientPhones;
    bool showByCode = false;       // SpeedButton11: an account has the request's code
    bool showByTelephone = false;  // SpeedButton12: an account has its telephone
    bool canCreate = false;        // SpeedButton35: the code is given and has no account yet

    bool operator==(const RequestSelection &) const = default;
};

Q_DECLARE_METATYPE(RequestSelection)

// The operator's handling of registration requests on the page "  ПОДАНІ  ЗАЯВКИ  ":
// the comparison of the selected request with the dispatchers' clients and the
// existing accounts, corrections, turning a request into an account, deleting.
// Runs on the main thread; takes the service lock for its database work and never
// holds it while the operator is asked something.
class RegistrationRequests : public QObject {
    Q_OBJECT
public:
    explicit RegistrationRequests(ServiceContext &context, QObject *parent = nullptr);

    const RequestSelection &selection() const { return selection_; }

    // Runs on every move of the requests dataset, its reopening included.
    void GPRS_TABL_ZAYAVKIAfterScroll();

    void SpeedButton35Click(const QString &personalMessage);  // create the account
    void SpeedButton37Click();                                // delete the selected request
    void SpeedButton38Click();                                // clear the list
    void SpeedButton13Click();                                // correct the code
    void SpeedButton14Click();                                // correct the telephone
    void SpeedButton15Click();                                // correct the password
    void SpeedButton11Click();                                // show the account by code
    void SpeedButton12Click();                                // show the account by telephone
    QString SpeedButton17Click() const;                       // the personal message template

signals:
    void selectionChanged(const RequestSelection &selection);
    // The clients table window is to show the accounts matching the search.
    void clientsRequested(const ClientSearch &search);

private:
    struct Row {
        qint64 number = 0;
        QString code, password, telephone, note;
    };
    // The selected request as it is now; none when the list is empty.
    std::optional<Row> currentRow();
    void correct(const QString &column, const QString &label, QString Row::*value);

    ServiceContext &context_;
    RequestSelection selection_;
    bool comparing_ = false;
};
