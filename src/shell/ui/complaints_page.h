#pragma once

#include "shell/client_search.h"
#include "shell/complaints_handling.h"

#include <QWidget>

class OperatorGrid;
class QCheckBox;
class QPlainTextEdit;
class ServiceContext;

// The page "  СКАРГИ  /  ПРОПОЗИЦІЇ  ": the complaints grid, newest first, with the
// selected complaint's text beside it, and the answer below. The handling is
// ComplaintsHandling's.
class ComplaintsPage : public QWidget {
    Q_OBJECT
public:
    explicit ComplaintsPage(ServiceContext &context, QWidget *parent = nullptr);

    ComplaintsHandling &logic() { return logic_; }
    OperatorGrid *grid() const { return DBGrid3; }

signals:
    void clientsRequested(const ClientSearch &search);

private:
    QWidget *buildHandling();

    ComplaintsHandling logic_;
    OperatorGrid *DBGrid3;
    QPlainTextEdit *DBMemo1;    // the selected complaint's text
    QPlainTextEdit *RichEdit1;  // the answer
    QCheckBox *CheckBox10;
};
