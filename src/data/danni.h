#pragma once

#include "data/client_list_reader.h"
#include "data/column_widths.h"
#include "data/fb.h"
#include "data/grid_snapshot.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class Prompt;

struct DatabaseLogin {
    QString user;
    QString password;
};

// The data module: both connections, their transactions, the shared query objects
// every subsystem runs its SQL through, the operator grids with their counters, and
// the dispatchers' event listener. All work on it happens under the service lock.
class TDANI : public QObject {
    Q_OBJECT
public:
    enum class Grid { Zayavki, Activ, Skarga, Klient, Reklama };
    enum class Database { Dispatch, Service };

    // How long one call on the dispatchers' database may wait for their server
    // (SHLYAH_BAZA/CHAS_OCHIKUVANNYA_BAZY), and a lock on either database.
    static constexpr int kDefaultWaitSeconds = 10;
    // How the dispatchers' database is reached: connecting and every call bounded by
    // `waitSeconds`, a locked row waited for a second less (so that a lock is told as a
    // lock, not as a silent server).
    static fb::ConnectParams DispatchParams(const QString &databaseName, const DatabaseLogin &login, int waitSeconds);

    explicit TDANI(QObject *parent = nullptr);
    ~TDANI() override;

    fb::Attachment BAZA;              // the dispatchers' database
    fb::Attachment BAZA_GPRS_KLIENT;  // KORVANTIS_KLIENT.FDB

    fb::Transaction TRANZ_RIZNE{BAZA};
    fb::Transaction TRANZ_FOR_EVENTS{BAZA};
    fb::Transaction TRANZ_GPRS_RIZNE{BAZA_GPRS_KLIENT};
    fb::Transaction TRANZ_GPRS_TABL_KLIENT{BAZA_GPRS_KLIENT};
    fb::Transaction TRANZ_GPRS_TABL_ZAYAVKI{BAZA_GPRS_KLIENT};
    fb::Transaction TRANZ_GPRS_TABL_ACTIV{BAZA_GPRS_KLIENT};
    fb::Transaction TRANZ_GPRS_TABL_SKARGA{BAZA_GPRS_KLIENT};
    fb::Transaction TRANZ_GPRS_REKLAMA{BAZA_GPRS_KLIENT};
    fb::Transaction TRANZ_GPRS_TIMER{BAZA_GPRS_KLIENT};

    fb::Query RIZNE{TRANZ_RIZNE};
    fb::Query DODAT_RIZNE{TRANZ_RIZNE};  // a second query while RIZNE is open
    fb::Query RIZNE_EVENTS{TRANZ_FOR_EVENTS};
    fb::Query GPRS_RIZNE{TRANZ_GPRS_RIZNE};
    fb::Query GPRS_TABL_KLIENT{TRANZ_GPRS_TABL_KLIENT};
    fb::Query GPRS_TABL_ZAYAVKI{TRANZ_GPRS_TABL_ZAYAVKI};
    fb::Query GPRS_TABL_ACTIV{TRANZ_GPRS_TABL_ACTIV};
    fb::Query GPRS_TABL_SKARGA{TRANZ_GPRS_TABL_SKARGA};
    fb::Query GPRS_TABL_REKLAMA{TRANZ_GPRS_REKLAMA};
    fb::Query GPRS_TABL_TIMER{TRANZ_GPRS_TIMER};
    fb::Query GPRS_TABL_TIMER_DOD{TRANZ_GPRS_TIMER};

    // The dispatchers' clients in memory, read while the servers run (client_lookup.h).
    ClientListReader clientList;

    // A statement that meets a lost connection fails with fb::ConnectionLost, and so does
    // every statement until the background has made a new connection: none waits on the
    // network for it. A write that was on its way is never run again (whether it reached
    // the database is not known).
    //
    // The statement pattern: commit the query's transaction when open, close the
    // query, then open a SELECT (cursor on its first row) ...
    static void Select(fb::Query &query, const QString &sql, const fb::Params &params = {});
    // ... or execute a write and commit it. Returns the rows affected.
    static int Execute(fb::Query &query, const QString &sql, const fb::Params &params = {});
    // A count or similar single value: the first field of the last row as text,
    // "0" when no row came back; the query is closed again.
    static QString ScalarText(fb::Query &query, const QString &sql, const fb::Params &params = {});
    // The same two for a plain SELECT that needs no snapshot shared with later statements:
    // it runs in the connection's read-only read-committed transaction, which sees every
    // commit made before it like a fresh snapshot does, but starts and commits nothing
    // (each of those is a synchronous write of the database file). The query's own
    // transaction stays inactive afterwards.
    static void SelectReadOnly(fb::Query &query, const QString &sql, const fb::Params &params = {});
    static QString ScalarTextReadOnly(fb::Query &query, const QString &sql, const fb::Params &params = {});

    bool OpenDispatchBase(const QString &databaseName, const DatabaseLogin &login, Prompt &prompt,
                          int waitSeconds = kDefaultWaitSeconds);
    // The service database is embedded: no network, but a row left locked waits at most
    // `waitSeconds`.
    bool OpenServiceBase(const QString &databaseName, const DatabaseLogin &login, Prompt &prompt,
                         int waitSeconds = kDefaultWaitSeconds);
    void ReleaseExpiredBans();

    // The text columns of the dispatchers' ZAMOVLENNIA, read once a connection.
    const ColumnWidths &OrderColumns();
    // The text columns of any table of either database, read once a connection.
    const ColumnWidths &DispatchColumns(const QString &table);
    const ColumnWidths &ServiceColumns(const QString &table);

    // The dispatchers' server keeps RDB$RECORD_VERSION (Firebird 3 and later); set
    // from the server's version when their database is opened. Older servers need
    // checks that do without it.
    bool dispatchRecordVersions = true;

    // Refresh of a grid after a write to its table: commit the general transaction
    // and the grid's own, open the grid again (counters, then the remembered row).
    void RefreshGrid(Grid grid);
    // The clients table and advert schedule windows show their grids while they are
    // open, each with the statement of its last search. The same statement again keeps
    // the current row (by record number); a new one starts on the first.
    void OpenTable(Grid grid, const QString &sql, const fb::Params &params = {});
    void CloseTable(Grid grid);
    // The statement a grid was last opened with, for the table export.
    QString GridSql(Grid grid) const;
    fb::Params GridParams(Grid grid) const;
    void SelectRow(Grid grid, int recNo);
    // The operator moved to row `recNo` of the rows a grid shows from opening `shown`.
    // When the dataset has been opened again since (a refresh on its way to the grid),
    // row `recNo` is another row now: nothing moves and false comes back.
    bool SelectRow(Grid grid, int recNo, quint64 shown);
    GridSnapshot Snapshot(Grid grid) const;

    // The complaints page's check box "ЗАГАЛЬНИЙ  СПИСОК  СКАРГ /  НЕОПРАЦЬОВАНІ СКАРГИ".
    bool allComplaints = false;

    // The four counters of the operator window, "не задано" until the grids open.
    QString activeCount, codedCount, requestCount, complaintCount;

signals:
    void countersChanged();
    void gridChanged(TDANI::Grid grid, const GridSnapshot &rows);
    // A dispatchers' database event; emitted on the event listener's thread: connect queued.
    void dispatchEvent(const QString &name, unsigned count);
    // A connection was lost, or a new one taken; emitted once each, on the thread whose
    // statement noticed, with the service lock held.
    void connectionChanged(TDANI::Database database, bool connected, const QString &reason);

private:
    // The first field of the last row as text, "0" without rows; closes the query.
    static QString takeScalar(fb::Query &query);
    void watch(fb::Attachment &attachment, Database database);
    void listenForDispatchEvents();

    struct GridState;
    GridState &state(Grid grid);
    const GridState &state(Grid grid) const;
    void openGrid(Grid grid);
    void countersFor(Grid grid);

    std::unique_ptr<fb::EventListener> IBEvents1_BAZA_TAXI;
    std::map<QString, ColumnWidths> dispatchColumns_;
    std::map<QString, ColumnWidths> serviceColumns_;
    std::unique_ptr<GridState[]> grids_;
};
