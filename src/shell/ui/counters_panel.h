#pragma once

#include <QFrame>

class QLabel;
class TDANI;

// The left panel of the operator window: active and coded connections, requests
// and unhandled complaints, as the data module last counted them.
class CountersPanel : public QFrame {
    Q_OBJECT
public:
    explicit CountersPanel(TDANI &danni, QWidget *parent = nullptr);

    void refresh();

private:
    TDANI &danni_;
    QLabel *active_;      // Label3
    QLabel *coded_;       // Label25
    QLabel *requests_;    // Label7
    QLabel *complaints_;  // Label11
};
