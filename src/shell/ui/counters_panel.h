#pragma once

#include <QFrame>

class AccountCounters;
class QLabel;
class TDANI;

// The left panel of the operator window: active and coded connections, requests
// and unhandled complaints, as the data module last counted them, and the web
// sessions refused since the servers started.
class CountersPanel : public QFrame {
    Q_OBJECT
public:
    CountersPanel(TDANI &danni, AccountCounters &accounts, QWidget *parent = nullptr);

    void refresh();

private:
    TDANI &danni_;
    AccountCounters &accounts_;
    QLabel *active_;      // Label3
    QLabel *refused_;
    QLabel *coded_;       // Label25
    QLabel *requests_;    // Label7
    QLabel *complaints_;  // Label11
};
