#pragma once

#include "shell/client_search.h"

#include <QDialog>

class OperatorLog;
class Prompt;
class QPlainTextEdit;
class QTabWidget;

// TForm2: the clients table and the two connection logs. It stays on top of the
// operator window, which waits while it is shown.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    enum class Page { TablKlient, LogList, LogListJava };

    TForm2(OperatorLog &webLog, OperatorLog &mobileLog, Prompt &prompt, QWidget *parent = nullptr);

    void showPage(Page page);
    Page currentPage() const;
    // Opens the clients table on the accounts matching `search`, for the requests and
    // complaints pages. Until the table has its search panel this only shows the page
    // and keeps the search, which the panel is to run when it arrives.
    void showClients(const ClientSearch &search);
    const ClientSearch &clientSearch() const { return clientSearch_; }
    QPlainTextEdit *webLogView() const { return RichEdit2; }
    QPlainTextEdit *mobileLogView() const { return RichEdit1; }

private:
    static QPlainTextEdit *logView(const QString &name, OperatorLog &log);
    QWidget *withCloseStrip(const QString &name, QWidget *body);

    Prompt &prompt_;
    QTabWidget *pages_;
    ClientSearch clientSearch_;
    QPlainTextEdit *RichEdit1 = nullptr;  // mobile log
    QPlainTextEdit *RichEdit2 = nullptr;  // web log
};
