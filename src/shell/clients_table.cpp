#include "shell/clients_table.h"

#include "common/regional_format.h"
#include "shell/operator_action.h"
#include "shell/operator_text.h"
#include "shell/service_context.h"

namespace {

const QString kTable = QStringLiteral("TABLE_KLIENT");
const QString kEditFailure = QStringLiteral("Помилка редагування даних клієнта. Дані не змінено.");
// The memos' limit, as their captions tell the operator.
constexpr int kMemoLength = 500;

QString text(const fb::Query &query, const char *field) { return query.field(QString::fromLatin1(field)).asText(); }

fb::Param textOrNull(const QString &text) { return text.isEmpty() ? fb::Param(nullptr) : fb::Param(text); }

QString tooLong(const QString &what, int width)
{
    return QStringLiteral("%1 довше допустимого (не більше %2 символів). Дані клієнта не змінено !").arg(what).arg(width);
}

}  // namespace

ClientsTable::ClientsTable(ServiceContext &context, QObject *parent) : QObject(parent), context_(context)
{
    qRegisterMetaType<ClientSelection>();
    // The periodic lifting of bans and the clients' own programs reopen the dataset too.
    connect(
        &context_.danni, &TDANI::gridChanged, this,
        [this](TDANI::Grid grid) {
            if (grid == TDANI::Grid::Klient)
                GPRS_TABL_KLIENTAfterScroll();
        },
        Qt::QueuedConnection);
}

void ClientsTable::open(const SqlFilter &filter)
{
    filter_ = filter;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка відкриття таблиці клієнтів."), [&] {
        context_.danni.OpenTable(TDANI::Grid::Klient, ClientsSql(filter_), filter_.params);
    });
    GPRS_TABL_KLIENTAfterScroll();
}

void ClientsTable::FormShow() { open({}); }

void ClientsTable::FormClose()
{
    {
        ServiceLockGuard lock(ServiceLock());
        context_.danni.CloseTable(TDANI::Grid::Klient);
    }
    GPRS_TABL_KLIENTAfterScroll();
}

void ClientsTable::SpeedButton10Click() { open({}); }

void ClientsTable::search(const ClientFilters &filters)
{
    SqlFilter filter;
    if (RunOperatorWork(context_.prompt, QStringLiteral("Помилка пошуку в таблиці клієнтів."), [&] {
            filter = BuildClientFilter(filters, context_.danni.ServiceColumns(kTable));
        }))
        open(filter);
}

QStringList ClientsTable::suggestions(ClientColumn column, const QString &typed)
{
    QStringList values;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка заповнення списку."), [&] {
        TDANI &d = context_.danni;
        const QString name = ClientColumnName(column);
        SqlFilter filter;
        filter.addContains(d.ServiceColumns(kTable), name, typed);
        fb::Query &q = d.GPRS_RIZNE;
        TDANI::SelectReadOnly(q, QStringLiteral("SELECT %1 FROM  TABLE_KLIENT\n%2\nGROUP BY %1").arg(name, filter.where),
                              filter.params);
        for (q.first(); !q.eof(); q.next())
            values << q.field(0).asText();
        q.close();
    });
    return values;
}

void ClientsTable::GPRS_TABL_KLIENTAfterScroll()
{
    ClientSelection s;
    s.code = kNotSet;
    const QDateTime now = QDateTime::currentDateTime();
    const QTime nowTime(now.time().hour(), now.time().minute(), now.time().second());
    // Ticking the ban box of an account without a ban offers an end that can be saved
    // (now itself would already be over): this time tomorrow.
    s.banDate = now.date().addDays(1);
    s.banTime = nowTime;
    {
        ServiceLockGuard lock(ServiceLock());
        const fb::Query &grid = context_.danni.GPRS_TABL_KLIENT;
        if (grid.isOpen() && !grid.isEmpty()) {
            s.any = true;
            s.number = grid.field(QStringLiteral("TABLE_KLIENT_NP")).asInt();
            s.code = text(grid, "TABLE_KLIENT_KOD");
            s.password = text(grid, "TABLE_KLIENT_PASS");
            s.telephone = text(grid, "TABLE_KLIENT_TELEF");
            s.banned = text(grid, "TABLE_KLIENT_BAN") == u'+';
            if (s.banned) {
                // A stored ban is shown as stored; without its day it ends today, without
                // its time now.
                const fb::Field day = grid.field(QStringLiteral("TABLE_KLIENT_DATBAN"));
                const fb::Field time = grid.field(QStringLiteral("TABLE_KLIENT_TIMEBAN"));
                s.banDate = day.isNull() ? now.date() : day.asDate();
                s.banTime = time.isNull() ? nowTime : time.asTime();
            }
            s.message = ShownLines(text(grid, "TABLE_KLIENT_POVID"));
            s.extra = ShownLines(text(grid, "TABLE_KLIENT_DODAT"));
        }
    }
    selection_ = s;
    emit selectionChanged(selection_);
}

QString ClientsTable::refusal(const ClientEdit &edit, const ColumnWidths &widths)
{
    // Never cut: a cut password or telephone is not the one the operator gave.
    const int password = widths.width(QStringLiteral("TABLE_KLIENT_PASS"));
    if (password > 0 && edit.password.size() > password)
        return tooLong(QStringLiteral("Пароль"), password);
    const int telephone = widths.width(QStringLiteral("TABLE_KLIENT_TELEF"));
    if (telephone > 0 && edit.telephone.size() > telephone)
        return tooLong(QStringLiteral("Телефон"), telephone);
    const QStringList unstorable = UnstorableFields({{QStringLiteral("Пароль"), edit.password},
                                                     {QStringLiteral("Вказаний телефон"), edit.telephone},
                                                     {QStringLiteral("Особисте повідомлення"), edit.message},
                                                     {QStringLiteral("Додаткові дані"), edit.extra}});
    if (!unstorable.isEmpty())
        return UnstorableMessage(unstorable);
    // The periodic work would lift such a ban within the minute: it would never hold.
    const QDateTime end(edit.banDate, edit.banTime);
    if (edit.banned && (!end.isValid() || end <= QDateTime::currentDateTime()))
        return QStringLiteral("Бан до дати і часу [%1] вже минув: вкажіть пізніші дату і час або зніміть позначку "
                              "бану. Дані клієнта не змінено !")
            .arg(RegionalFormat::dateTimeText(end));
    return {};
}

void ClientsTable::editSelected(const ClientEdit &edit)
{
    if (!selection_.any)
        return;
    if (edit.password.isEmpty() || edit.telephone.isEmpty()) {
        context_.prompt.message(QStringLiteral("Немає можливості змінити дані замовника, так як пароль або телефон "
                                               "нульове значення. Після виправлення повторіть спробу !"));
        return;
    }
    ColumnWidths widths;
    if (!RunOperatorWork(context_.prompt, kEditFailure, [&] { widths = context_.danni.ServiceColumns(kTable); }))
        return;
    if (const QString reason = refusal(edit, widths); !reason.isEmpty()) {
        context_.prompt.message(reason);
        return;
    }
    // The account shown when the operator pressed the button, whatever moves meanwhile.
    const qint64 number = selection_.number;
    if (!context_.prompt.question(QStringLiteral("Редагувати дані вибраного клієнта ?")))
        return;
    const fb::Params values{
        edit.password,
        edit.telephone,
        edit.banned ? "+" : "-",
        edit.banned ? fb::Param(edit.banDate) : fb::Param(nullptr),
        edit.banned ? fb::Param(edit.banTime) : fb::Param(nullptr),
        textOrNull(CutText(StoredLines(edit.message), kMemoLength)),
        textOrNull(CutText(StoredLines(edit.extra), kMemoLength)),
        number};
    RunOperatorWork(context_.prompt, kEditFailure, [&] {
        TDANI &d = context_.danni;
        TDANI::Execute(d.GPRS_RIZNE,
                       QStringLiteral("UPDATE TABLE_KLIENT\n"
                                      "SET TABLE_KLIENT_PASS = ?, \n"
                                      "    TABLE_KLIENT_TELEF = ?, \n"
                                      "    TABLE_KLIENT_BAN = ?, \n"
                                      "    TABLE_KLIENT_DATBAN = ?, \n"
                                      "    TABLE_KLIENT_TIMEBAN = ?, \n"
                                      "    TABLE_KLIENT_POVID = ?, \n"
                                      "    TABLE_KLIENT_DODAT = ? \n"
                                      "WHERE (TABLE_KLIENT_NP = ?)"),
                       values);
        d.RefreshGrid(TDANI::Grid::Klient);
    });
    GPRS_TABL_KLIENTAfterScroll();
}

void ClientsTable::deleteSelected()
{
    if (!selection_.any)
        return;
    const qint64 number = selection_.number;
    if (!context_.prompt.question(QStringLiteral("Знищити вибраного клієнта ?")))
        return;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка знищення клієнта. Дані не змінено."), [&] {
        TDANI &d = context_.danni;
        TDANI::Execute(d.GPRS_RIZNE, QStringLiteral("DELETE FROM TABLE_KLIENT\nWHERE (TABLE_KLIENT_NP = ?)"), {number});
        d.RefreshGrid(TDANI::Grid::Klient);
    });
    GPRS_TABL_KLIENTAfterScroll();
}
