#include "shell/registration_requests.h"

#include "data/column_widths.h"
#include "data/like_pattern.h"
#include "data/row_number.h"
#include "shell/operator_action.h"
#include "shell/service_context.h"

#include <QScopedValueRollback>

namespace {

const QString kCorrectionCaption = QStringLiteral("Зміна даних таблиці заявок");
const QString kDispatchUnavailable = QStringLiteral("дані диспетчерської служби недоступні");

QString text(const fb::Query &query, const char *field) { return query.field(QString::fromLatin1(field)).asText(); }

bool anyRow(fb::Query &query, const QString &sql, const fb::Params &params)
{
    TDANI::SelectReadOnly(query, sql, params);
    const bool found = !query.isEmpty();
    query.close();
    return found;
}

}  // namespace

RegistrationRequests::RegistrationRequests(ServiceContext &context, QObject *parent)
    : QObject(parent), context_(context)
{
    qRegisterMetaType<RequestSelection>();
    qRegisterMetaType<ClientSearch>();
    // Web pages and mobile applications add requests from their own threads; the
    // comparison follows every reopening once the main thread gets to it.
    connect(
        &context_.danni, &TDANI::gridChanged, this,
        [this](TDANI::Grid grid) {
            if (grid == TDANI::Grid::Zayavki)
                GPRS_TABL_ZAYAVKIAfterScroll();
        },
        Qt::QueuedConnection);
}

std::optional<RegistrationRequests::Row> RegistrationRequests::currentRow()
{
    ServiceLockGuard lock(ServiceLock());
    const fb::Query &grid = context_.danni.GPRS_TABL_ZAYAVKI;
    if (!grid.isOpen() || grid.isEmpty())
        return std::nullopt;
    return Row{grid.field(QStringLiteral("TABLE_ZAYAVKA_NP")).asInt(), text(grid, "TABLE_ZAYAVKA_KOD"),
               text(grid, "TABLE_ZAYAVKA_PASS"), text(grid, "TABLE_ZAYAVKA_TELEF"), text(grid, "TABLE_ZAYAVKA_PRIM")};
}

void RegistrationRequests::GPRS_TABL_ZAYAVKIAfterScroll()
{
    // A failure's message box runs its own event loop, in which further reopenings of
    // the list arrive: they must not stack message boxes; the next one compares again.
    if (comparing_)
        return;
    const QScopedValueRollback busy(comparing_, true);
    RequestSelection s;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка порівняння заявки з таблицями клієнтів."), [&] {
        TDANI &d = context_.danni;
        const fb::Query &grid = d.GPRS_TABL_ZAYAVKI;
        if (!grid.isOpen() || grid.isEmpty())
            return;
        s.note = text(grid, "TABLE_ZAYAVKA_PRIM");
        s.extra = text(grid, "TABLE_ZAYAVKA_DODAT");
        s.code = text(grid, "TABLE_ZAYAVKA_KOD");
        s.telephone = text(grid, "TABLE_ZAYAVKA_TELEF");
        s.password = text(grid, "TABLE_ZAYAVKA_PASS");
        if (s.code.isEmpty())
            return;

        // The code exactly as the request holds it, matched literally. The record is for
        // the operator's judgement and gates nothing: without it accounts are still made.
        try {
            TDANI::SelectReadOnly(d.RIZNE,
                                  QStringLiteral("SELECT * FROM  KLIENT\nWHERE (KLIENT_DODATKOVO LIKE '%' || ? || '%'%1)")
                                      .arg(QString::fromLatin1(kLikeEscape)),
                                  {LikeLiteral(u'[' + s.code + u']')});
            if (!d.RIZNE.isEmpty()) {
                d.RIZNE.last();
                s.clientExtra = text(d.RIZNE, "KLIENT_DODATKOVO");
                s.clientName = text(d.RIZNE, "KLIENT_FIO");
                s.clientAddress = text(d.RIZNE, "KLIENT_ADRESS");
                s.clientPhones = text(d.RIZNE, "KLIENT_TELEFON");
            }
        } catch (const fb::Error &) {
            s.clientExtra = kDispatchUnavailable;
        }
        d.RIZNE.close();

        s.showByCode = anyRow(d.GPRS_RIZNE, QStringLiteral("SELECT * FROM  TABLE_KLIENT\nWHERE (TABLE_KLIENT_KOD = ?)"),
                              {s.code});
        s.canCreate = !s.showByCode;
        s.showByTelephone = anyRow(
            d.GPRS_RIZNE, QStringLiteral("SELECT * FROM  TABLE_KLIENT\nWHERE (TABLE_KLIENT_TELEF = ?)"), {s.telephone});
    });
    selection_ = s;
    emit selectionChanged(selection_);
}

void RegistrationRequests::SpeedButton35Click(const QString &personalMessage)
{
    const std::optional<Row> row = currentRow();
    if (!row || !context_.prompt.question(QStringLiteral("Створити нового клієнта згідно вказаних даних ?")))
        return;
    int limit = 0;
    const bool ran = RunOperatorWork(
        context_.prompt,
        QStringLiteral("Помилка створення клієнта web сервіса. Клієнта не створено, заявка залишилась у списку."), [&] {
            TDANI &d = context_.danni;
            limit = ColumnWidths::Read(d.TRANZ_GPRS_RIZNE, QStringLiteral("TABLE_KLIENT"))
                        .width(QStringLiteral("TABLE_KLIENT_POVID"));
            if (personalMessage.size() > limit)
                return;
            // The list may have moved on since the button was enabled: a code that has
            // an account meanwhile, or none at all, makes no account.
            if (row->code.isEmpty()
                || anyRow(d.GPRS_RIZNE, QStringLiteral("SELECT * FROM  TABLE_KLIENT\nWHERE (TABLE_KLIENT_KOD = ?)"),
                          {row->code}))
                return;
            fb::Query &q = d.GPRS_RIZNE;
            q.transaction().commitIfActive();
            q.close();
            // The account and the end of its request are one change: both or neither.
            try {
                q.execute(QStringLiteral("INSERT INTO TABLE_KLIENT\n"
                                         "(TABLE_KLIENT_NP, TABLE_KLIENT_PASS, TABLE_KLIENT_KOD, TABLE_KLIENT_TELEF, "
                                         "TABLE_KLIENT_BAN, TABLE_KLIENT_DATBAN, TABLE_KLIENT_TIMEBAN, "
                                         "TABLE_KLIENT_POVID, TABLE_KLIENT_DODAT)\n"
                                         "VALUES (%1, ?, ?, ?, '-', NULL, NULL, ?, ?)")
                              .arg(NextRowNumber(QStringLiteral("TABLE_KLIENT"), QStringLiteral("TABLE_KLIENT_NP"))),
                          {row->password, row->code, row->telephone,
                           personalMessage.isEmpty() ? fb::Param(nullptr) : fb::Param(personalMessage), row->note});
                q.execute(QStringLiteral("DELETE FROM TABLE_ZAYAVKA\nWHERE (TABLE_ZAYAVKA_NP = ?)"), {row->number});
                q.transaction().commit();
            } catch (...) {
                d.TRANZ_GPRS_RIZNE.rollback();
                throw;
            }
            d.RefreshGrid(TDANI::Grid::Zayavki);
        });
    if (ran && personalMessage.size() > limit)
        context_.prompt.message(QStringLiteral("Особисте повідомлення довше допустимого (не більше %1 символів). "
                                               "Клієнта не створено !")
                                    .arg(limit));
}

void RegistrationRequests::SpeedButton37Click()
{
    const std::optional<Row> row = currentRow();
    if (!row || !context_.prompt.question(QStringLiteral("Знищити вибрану заявку  ???")))
        return;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка знищення заявки."), [&] {
        TDANI &d = context_.danni;
        TDANI::Execute(d.GPRS_RIZNE, QStringLiteral("DELETE FROM TABLE_ZAYAVKA\nWHERE (TABLE_ZAYAVKA_NP = ?)"),
                       {row->number});
        d.RefreshGrid(TDANI::Grid::Zayavki);
    });
}

void RegistrationRequests::SpeedButton38Click()
{
    if (!currentRow() || !context_.prompt.question(QStringLiteral("Очистити список заявок  ???")))
        return;
    RunOperatorWork(context_.prompt, QStringLiteral("Помилка очищення списку заявок."), [&] {
        TDANI &d = context_.danni;
        TDANI::Execute(d.GPRS_RIZNE, QStringLiteral("DELETE FROM TABLE_ZAYAVKA"));
        d.RefreshGrid(TDANI::Grid::Zayavki);
    });
}

void RegistrationRequests::correct(const QString &column, const QString &label, QString Row::*value)
{
    const std::optional<Row> row = currentRow();
    if (!row)
        return;
    const QString current = (*row).*value;
    const std::optional<QString> answer = context_.prompt.input(kCorrectionCaption, label, current);
    if (!answer || answer->isEmpty() || *answer == current)
        return;
    int limit = 0;
    const QString failure = QStringLiteral("Помилка зміни даних заявки. Дані не змінено.");
    const bool ran = RunOperatorWork(context_.prompt, failure, [&] {
        TDANI &d = context_.danni;
        limit = ColumnWidths::Read(d.TRANZ_GPRS_RIZNE, QStringLiteral("TABLE_ZAYAVKA")).width(column);
        // Never cut: a cut code would be another client's code.
        if (answer->size() > limit)
            return;
        TDANI::Execute(d.GPRS_RIZNE,
                       QStringLiteral("UPDATE TABLE_ZAYAVKA\nSET %1 = ?\nWHERE (TABLE_ZAYAVKA_NP = ?)").arg(column),
                       {*answer, row->number});
        d.RefreshGrid(TDANI::Grid::Zayavki);
    });
    if (ran && answer->size() > limit)
        context_.prompt.message(
            QStringLiteral("Нове значення довше допустимого (не більше %1 символів). Дані заявки не змінено !")
                .arg(limit));
}

void RegistrationRequests::SpeedButton13Click()
{
    correct(QStringLiteral("TABLE_ZAYAVKA_KOD"), QStringLiteral("Вкажіть новий код вибраного записа :"), &Row::code);
}

void RegistrationRequests::SpeedButton14Click()
{
    correct(QStringLiteral("TABLE_ZAYAVKA_TELEF"), QStringLiteral("Вкажіть номер телефона :"), &Row::telephone);
}

void RegistrationRequests::SpeedButton15Click()
{
    correct(QStringLiteral("TABLE_ZAYAVKA_PASS"), QStringLiteral("Вкажіть новий пароль :"), &Row::password);
}

void RegistrationRequests::SpeedButton11Click()
{
    if (selection_.showByCode)
        emit clientsRequested({ClientSearch::Field::Code, selection_.code});
}

void RegistrationRequests::SpeedButton12Click()
{
    if (selection_.showByTelephone)
        emit clientsRequested({ClientSearch::Field::Telephone, selection_.telephone});
}

QString RegistrationRequests::SpeedButton17Click() const { return context_.settings.POVID_PRI_CREAT_ACCAUNT; }
