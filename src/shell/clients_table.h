#pragma once

#include "shell/client_filter.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTime>

class ServiceContext;

// What the edit panel of the clients table window shows of the selected account.
struct ClientSelection {
    bool any = false;   // false when the table shows no row
    qint64 number = 0;  // TABLE_KLIENT_NP
    QString code;       // "не задано" when no row is selected
    QString password, telephone;
    bool banned = false;
    QDate banDate;  // the ban's end, or this time tomorrow when there is none
    QTime banTime;
    QString message, extra;  // lines joined by "\n"

    bool operator==(const ClientSelection &) const = default;
};

Q_DECLARE_METATYPE(ClientSelection)

// The edit panel's values when the operator saves.
struct ClientEdit {
    QString password, telephone;
    bool banned = false;
    QDate banDate;
    QTime banTime;
    QString message, extra;
};

// The operator's work on the page "TABL_KLIENT" of the clients table window: the search
// over TABLE_KLIENT, the suggestions of its combo boxes, editing, banning and deleting
// accounts. Runs on the main thread; takes the service lock for its database work and
// never holds it while the operator is asked something.
class ClientsTable : public QObject {
    Q_OBJECT
public:
    explicit ClientsTable(ServiceContext &context, QObject *parent = nullptr);

    const ClientSelection &selection() const { return selection_; }

    void FormShow();            // the window shows: the whole table
    void FormClose();           // the window closes: the dataset closes with it
    void SpeedButton10Click();  // "Загальна таблиця"
    void search(const ClientFilters &filters);  // "Пошук ..."
    // Distinct values of the column that contain `typed`, for a combo box's list.
    QStringList suggestions(ClientColumn column, const QString &typed);

    // Runs on every move of the dataset, its reopening included.
    void GPRS_TABL_KLIENTAfterScroll();

    void editSelected(const ClientEdit &edit);  // "Редагувати вибраний запис"
    void deleteSelected();                      // "Знищити вибраний запис"

signals:
    void selectionChanged(const ClientSelection &selection);

private:
    void open(const SqlFilter &filter);
    // A reason to refuse the edit before asking, or empty.
    static QString refusal(const ClientEdit &edit, const ColumnWidths &widths);

    ServiceContext &context_;
    SqlFilter filter_;
    ClientSelection selection_;
};
