#include "data/danni.h"

#include "common/metrics.h"
#include "common/prompt.h"
#include "common/service_lock.h"

#include <QDateTime>

#include <algorithm>

struct TDANI::GridState {
    fb::Query *query = nullptr;
    fb::Transaction *transaction = nullptr;
    bool keepsPosition = false;
    int rememberedPosition = 0;
    QString sql;
    fb::Params params;
    quint64 generation = 0;  // openings so far
};

namespace {

constexpr int kGridCount = 5;

QString lines(std::initializer_list<const char *> parts)
{
    QStringList text;
    for (const char *part : parts)
        text << QString::fromUtf8(part);
    return text.join(u'\n');
}

bool sameParams(const fb::Params &a, const fb::Params &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const fb::Param &x, const fb::Param &y) { return x.value() == y.value(); });
}

// The major version of the server behind a connection; 0 when it does not say (a
// server older than 2.1).
int ServerMajorVersion(fb::Transaction &transaction)
{
    try {
        fb::Query query(transaction);
        query.openReadOnly(QStringLiteral("SELECT RDB$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') FROM RDB$DATABASE"));
        const QString version = query.isEmpty() ? QString() : query.field(0).asText();
        query.close();
        return version.section(u'.', 0, 0).toInt();
    } catch (const fb::Error &) {
        return 0;
    }
}

}  // namespace

TDANI::TDANI(QObject *parent) : QObject(parent), grids_(new GridState[kGridCount])
{
    qRegisterMetaType<GridSnapshot>();
    qRegisterMetaType<TDANI::Grid>();
    qRegisterMetaType<TDANI::Database>();
    watch(BAZA, Database::Dispatch);
    watch(BAZA_GPRS_KLIENT, Database::Service);
    BAZA.setCounters(&metrics::Counted().dispatchDatabase);
    BAZA_GPRS_KLIENT.setCounters(&metrics::Counted().serviceDatabase);
    state(Grid::Zayavki) = {&GPRS_TABL_ZAYAVKI, &TRANZ_GPRS_TABL_ZAYAVKI, true, 0, {}, {}, 0};
    state(Grid::Activ) = {&GPRS_TABL_ACTIV, &TRANZ_GPRS_TABL_ACTIV, true, 0, {}, {}, 0};
    state(Grid::Skarga) = {&GPRS_TABL_SKARGA, &TRANZ_GPRS_TABL_SKARGA, true, 0, {}, {}, 0};
    state(Grid::Klient) = {&GPRS_TABL_KLIENT, &TRANZ_GPRS_TABL_KLIENT, true, 0, {}, {}, 0};
    state(Grid::Reklama) = {&GPRS_TABL_REKLAMA, &TRANZ_GPRS_REKLAMA, true, 0, {}, {}, 0};
    activeCount = codedCount = requestCount = complaintCount = QStringLiteral("не задано");
}

TDANI::~TDANI()
{
    // No event may arrive for a module that is going away.
    IBEvents1_BAZA_TAXI.reset();
}

TDANI::GridState &TDANI::state(Grid grid) { return grids_[int(grid)]; }
const TDANI::GridState &TDANI::state(Grid grid) const { return grids_[int(grid)]; }

void TDANI::watch(fb::Attachment &attachment, Database database)
{
    attachment.setWatcher([this, &attachment, database](bool connected, const QString &reason) {
        if (connected && &attachment == &BAZA) {
            // The old listener went with the old connection. Order changes made meanwhile
            // were told to nobody: the clients ask again.
            try {
                listenForDispatchEvents();
            } catch (const fb::Error &) {
                IBEvents1_BAZA_TAXI.reset();  // the next lost and found connection tries again
            }
            emit dispatchEvent(QStringLiteral("EV_UpdateZAMOVLENNIA"), 1);
        }
        emit connectionChanged(database, connected, reason);
    });
    // Found in the background: taken on this object's thread, so that the listener is
    // back even when no statement comes.
    attachment.setReconnectNotice([this, &attachment] {
        QMetaObject::invokeMethod(
            this,
            [&attachment] {
                ServiceLockGuard lock(ServiceLock());
                attachment.restore();
            },
            Qt::QueuedConnection);
    });
}

void TDANI::listenForDispatchEvents()
{
    IBEvents1_BAZA_TAXI.reset();
    IBEvents1_BAZA_TAXI = std::make_unique<fb::EventListener>(
        BAZA,
        QStringList{QStringLiteral("EV_INSERT_BUDINKA"), QStringLiteral("EV_InsertZAMOVLENNIA"),
                    QStringLiteral("EV_UpdateZAMOVLENNIA")},
        [this](const QString &name, unsigned count) { emit dispatchEvent(name, count); });
}

void TDANI::Select(fb::Query &query, const QString &sql, const fb::Params &params)
{
    query.transaction().commitIfActive();
    query.close();
    query.open(sql, params);
}

int TDANI::Execute(fb::Query &query, const QString &sql, const fb::Params &params)
{
    query.transaction().commitIfActive();
    query.close();
    const int affected = query.execute(sql, params);
    query.transaction().commit();
    return affected;
}

void TDANI::SelectReadOnly(fb::Query &query, const QString &sql, const fb::Params &params)
{
    query.transaction().commitIfActive();
    query.close();
    query.openReadOnly(sql, params);
}

QString TDANI::ScalarText(fb::Query &query, const QString &sql, const fb::Params &params)
{
    Select(query, sql, params);
    return takeScalar(query);
}

QString TDANI::ScalarTextReadOnly(fb::Query &query, const QString &sql, const fb::Params &params)
{
    SelectReadOnly(query, sql, params);
    return takeScalar(query);
}

QString TDANI::takeScalar(fb::Query &query)
{
    QString text = QStringLiteral("0");
    if (!query.isEmpty()) {
        query.last();
        text = query.field(0).asText();
    }
    query.close();
    return text;
}

fb::ConnectParams TDANI::DispatchParams(const QString &databaseName, const DatabaseLogin &login, int waitSeconds)
{
    fb::ConnectParams params{databaseName, login.user, login.password, waitSeconds};
    params.callLimit = std::chrono::seconds(waitSeconds);
    params.lockTimeout = std::max(1, waitSeconds - 1);
    return params;
}

bool TDANI::OpenDispatchBase(const QString &databaseName, const DatabaseLogin &login,
                             Prompt &prompt, int waitSeconds)
{
    if (login.user.isEmpty() || login.password.isEmpty()) {
        prompt.message(QStringLiteral(
            "Не вказаний логін і/або пароль сервера головної бази даних (можливо не всі "
            "параметри прописані в SETSERVER.INI) !!! Після виправлення повторіть спробу !"));
        return false;
    }
    try {
        IBEvents1_BAZA_TAXI.reset();
        BAZA.close();
        dispatchColumns_.clear();
        BAZA.open(DispatchParams(databaseName, login, waitSeconds));
        dispatchRecordVersions = ServerMajorVersion(TRANZ_RIZNE) >= 3;
        listenForDispatchEvents();
        return true;
    } catch (const fb::Error &error) {
        // The engine's reason follows: the database may well be in use by another process.
        prompt.message(QStringLiteral(
            "Неможливо відкрити головну базу даних (можливо LOGIN і/або PASS сервера невірні "
            "прописані в SETSERVER.INI) !!! Після виправлення повторіть спробу !\n\n") + error.text());
        return false;
    }
}

bool TDANI::OpenServiceBase(const QString &databaseName, const DatabaseLogin &login,
                            Prompt &prompt, int waitSeconds)
{
    if (login.user.isEmpty() || login.password.isEmpty()) {
        prompt.message(QStringLiteral(
            "Не вказаний логін і/або пароль сервера налаштувань web сервіса (можливо не всі "
            "параметри прописані в SETSERVER.INI) !!! Після виправлення повторіть спробу !"));
        return false;
    }
    try {
        BAZA_GPRS_KLIENT.close();
        serviceColumns_.clear();
        fb::ConnectParams params{databaseName, login.user, login.password};
        params.lockTimeout = waitSeconds;
        BAZA_GPRS_KLIENT.open(params);
        TRANZ_GPRS_RIZNE.commitIfActive();
        ReleaseExpiredBans();
        // No connection survives a restart of the program.
        Execute(GPRS_RIZNE, QStringLiteral("DELETE FROM TABLE_ACTIV"));

        state(Grid::Zayavki).sql = lines({"SELECT *   FROM TABLE_ZAYAVKA", "ORDER BY TABLE_ZAYAVKA_NP"});
        state(Grid::Activ).sql =
            lines({"SELECT *   FROM TABLE_ACTIV", "ORDER BY TABLE_ACTIV_KOD, TABLE_ACTIV_NP"});
        openGrid(Grid::Zayavki);
        openGrid(Grid::Activ);
        RefreshGrid(Grid::Skarga);
        return true;
    } catch (const fb::Error &error) {
        prompt.message(QStringLiteral(
            "Неможливо відкрити базу налаштувань web сервіса (можливо LOGIN і/або PASS сервера "
            "невірні прописані в SETSERVER.INI) !!! Після виправлення повторіть спробу !\n\n") + error.text());
        return false;
    }
}

const ColumnWidths &TDANI::OrderColumns()
{
    return DispatchColumns(QStringLiteral("ZAMOVLENNIA"));
}

const ColumnWidths &TDANI::DispatchColumns(const QString &table)
{
    auto known = dispatchColumns_.find(table);
    if (known == dispatchColumns_.end())
        known = dispatchColumns_.emplace(table, ColumnWidths::Read(TRANZ_RIZNE, table)).first;
    return known->second;
}

const ColumnWidths &TDANI::ServiceColumns(const QString &table)
{
    auto known = serviceColumns_.find(table);
    if (known == serviceColumns_.end())
        known = serviceColumns_.emplace(table, ColumnWidths::Read(TRANZ_GPRS_RIZNE, table)).first;
    return known->second;
}

void TDANI::ReleaseExpiredBans()
{
    std::vector<qint64> lifted;
    try {
        TRANZ_GPRS_TIMER.commitIfActive();
        GPRS_TABL_TIMER.close();
        GPRS_TABL_TIMER.open(lines({"SELECT * FROM TABLE_KLIENT",
                                    "WHERE (TABLE_KLIENT_BAN = '+') AND (TABLE_KLIENT_DATBAN <= ?) "}),
                             {QDate::currentDate()});
        const QDateTime now = QDateTime::currentDateTime();
        for (GPRS_TABL_TIMER.first(); !GPRS_TABL_TIMER.eof(); GPRS_TABL_TIMER.next()) {
            const QDate day = GPRS_TABL_TIMER.field(QStringLiteral("TABLE_KLIENT_DATBAN")).asDate();
            // Every writer sets both columns; a ban without its time of day ends with its day.
            const QTime time = GPRS_TABL_TIMER.field(QStringLiteral("TABLE_KLIENT_TIMEBAN")).asTime();
            if (now >= QDateTime(day, time.isValid() ? time : QTime(0, 0)))
                lifted.push_back(GPRS_TABL_TIMER.field(QStringLiteral("TABLE_KLIENT_NP")).asInt());
        }
        for (qint64 number : lifted)
            GPRS_TABL_TIMER_DOD.execute(lines({"UPDATE TABLE_KLIENT",
                                               "SET  TABLE_KLIENT_BAN = '-', ",
                                               "     TABLE_KLIENT_DATBAN = NULL, ",
                                               "     TABLE_KLIENT_TIMEBAN = NULL ",
                                               "WHERE (TABLE_KLIENT_NP = ?) "}),
                                        {number});
        TRANZ_GPRS_TIMER.commit();
    } catch (const fb::Error &) {
        // The bans lifted before the failure go back: left uncommitted, their rows would stay
        // locked against the operator's next edit of those clients.
        try {
            TRANZ_GPRS_TIMER.rollback();
        } catch (const fb::Error &) {
            // A transaction that cannot even roll back is gone, and its changes with it.
        }
        throw;
    }
    if (GPRS_TABL_KLIENT.isOpen() && !lifted.empty()) {
        TRANZ_GPRS_TABL_KLIENT.commitIfActive();
        openGrid(Grid::Klient);
    }
}

void TDANI::RefreshGrid(Grid grid)
{
    if (grid == Grid::Skarga) {
        state(grid).sql = allComplaints
            ? lines({"SELECT * FROM TABLE_SKARGA", "ORDER BY TABLE_SKARGA_NP DESC"})
            : lines({"SELECT * FROM TABLE_SKARGA", "WHERE (TABLE_SKARGA_VIDPOV = '-')",
                     "ORDER BY TABLE_SKARGA_NP DESC"});
    }
    if (state(grid).sql.isEmpty())
        return;
    TRANZ_GPRS_RIZNE.commitIfActive();
    openGrid(grid);
}

void TDANI::OpenTable(Grid grid, const QString &sql, const fb::Params &params)
{
    GridState &s = state(grid);
    if (s.sql != sql || !sameParams(s.params, params)) {
        // A new search: its rows start on the first.
        s.transaction->commitIfActive();
        s.query->close();
        s.rememberedPosition = 1;
    }
    s.sql = sql;
    s.params = params;
    openGrid(grid);
}

void TDANI::CloseTable(Grid grid)
{
    state(grid).transaction->commitIfActive();
    state(grid).query->close();
}

QString TDANI::GridSql(Grid grid) const { return state(grid).sql; }

fb::Params TDANI::GridParams(Grid grid) const { return state(grid).params; }

void TDANI::SelectRow(Grid grid, int recNo)
{
    fb::Query &query = *state(grid).query;
    if (!query.isOpen() || query.isEmpty())
        return;
    query.first();
    query.moveBy(recNo - 1);
}

bool TDANI::SelectRow(Grid grid, int recNo, quint64 shown)
{
    const GridState &s = state(grid);
    if (s.generation != shown || !s.query->isOpen())
        return false;
    SelectRow(grid, recNo);
    return true;
}

GridSnapshot TDANI::Snapshot(Grid grid) const
{
    const fb::Query &query = *state(grid).query;
    GridSnapshot snapshot;
    snapshot.columns = query.fieldNames();
    snapshot.rows.reserve(query.rows().size());
    for (const auto &row : query.rows()) {
        QStringList texts;
        texts.reserve(int(row.size()));
        for (const fb::Value &value : row)
            texts << fb::valueText(value);
        snapshot.rows.push_back(std::move(texts));
    }
    snapshot.position = query.isEmpty() ? 0 : query.recNo();
    snapshot.generation = state(grid).generation;
    return snapshot;
}

void TDANI::openGrid(Grid grid)
{
    GridState &s = state(grid);
    // Closing remembers the row the operator stood on; reopening returns to it.
    if (s.keepsPosition && s.query->isOpen())
        s.rememberedPosition = s.query->recNo();
    s.transaction->commitIfActive();
    s.query->close();
    countersFor(grid);
    // Read-only, like the counters: a transaction started and committed for a grid
    // would cost a write of the database file at every refresh.
    s.query->openReadOnly(s.sql, s.params);
    if (s.keepsPosition && !s.query->isEmpty()) {
        s.query->first();
        s.query->moveBy(s.rememberedPosition - 1);
    }
    ++s.generation;
    emit gridChanged(grid, Snapshot(grid));
}

void TDANI::countersFor(Grid grid)
{
    switch (grid) {
    case Grid::Activ:
        activeCount = ScalarTextReadOnly(GPRS_RIZNE, QStringLiteral("SELECT COUNT(TABLE_ACTIV_NP) FROM TABLE_ACTIV"));
        codedCount = ScalarTextReadOnly(GPRS_RIZNE, lines({"SELECT COUNT(TABLE_ACTIV_NP) FROM TABLE_ACTIV",
                                                           "WHERE (TABLE_ACTIV_KOD IS NOT NULL)"}));
        break;
    case Grid::Zayavki:
        requestCount =
            ScalarTextReadOnly(GPRS_RIZNE, QStringLiteral("SELECT COUNT(TABLE_ZAYAVKA_NP) FROM TABLE_ZAYAVKA"));
        break;
    case Grid::Skarga:
        complaintCount = ScalarTextReadOnly(GPRS_RIZNE, lines({"SELECT COUNT(TABLE_SKARGA_NP) FROM TABLE_SKARGA",
                                                               "WHERE (TABLE_SKARGA_VIDPOV = '-')"}));
        break;
    case Grid::Klient:
    case Grid::Reklama:
        return;
    }
    emit countersChanged();
}
