#pragma once

#include "shell/client_search.h"

#include <QDialog>

class ClientsPage;
class OperatorLog;
class Prompt;
class QPlainTextEdit;
class QTabWidget;
class ServiceContext;

// TForm2: the clients table and the two connection logs. It stays on top of the
// operator window, which waits while it is shown. Showing it loads the whole clients
// table; closing it closes the table.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    enum class Page { TablKlient, LogList, LogListJava };

    explicit TForm2(ServiceContext &context, QWidget *parent = nullptr);

    void showPage(Page page);
    Page currentPage() const;
    // Opens the clients table on the accounts matching `search`: for the requests and
    // complaints pages and the active connections grid.
    void showClients(const ClientSearch &search);
    ClientsPage *clientsPage() const { return clients_; }
    QPlainTextEdit *webLogView() const { return RichEdit2; }
    QPlainTextEdit *mobileLogView() const { return RichEdit1; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    static QPlainTextEdit *logView(const QString &name, OperatorLog &log);
    // The page with "Закрити без змін  ..." above it, and `extra` beside that button.
    QWidget *withCloseStrip(const QString &name, QWidget *body, QWidget *extra = nullptr);

    ServiceContext &context_;
    Prompt &prompt_;
    QTabWidget *pages_;
    ClientsPage *clients_;
    QPlainTextEdit *RichEdit1 = nullptr;  // mobile log
    QPlainTextEdit *RichEdit2 = nullptr;  // web log
};
