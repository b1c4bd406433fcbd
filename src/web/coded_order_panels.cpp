// The panels of the coded order page that show the dispatchers' and the service's
// data: active orders, the archive, the messages with the complaint form, and the
// page timer that keeps them current.

#include "web/form_kodovane_zamov.h"

#include "common/regional_format.h"
#include "common/service_lock.h"
#include "data/row_number.h"
#include "shell/service_context.h"
#include "web/user_session.h"

namespace {

const QString kTableError = QStringLiteral("Помилка під час створення таблиці !!!");

// A table whose filling failed keeps the rows filled so far and says so in its first cell.
void markFailure(WebGrid &grid)
{
    if (grid.rows.empty())
        grid.rows.push_back(QStringList(grid.columns.size(), QString()));
    grid.rows.front()[0] = kTableError;
}

}  // namespace

void TForm_KodovaneZamov::FillActiveOrders()
{
    ServiceLockGuard lock(ServiceLock());
    TDANI &d = context_.danni;
    IWGrid1.rows.clear();
    try {
        TDANI::SelectReadOnly(d.RIZNE,
                              QStringLiteral("SELECT * FROM  ZAMOVLENNIA\n"
                                             "WHERE (ZAMOVL_STATUS_ZAMOVL = 0) and (ZAMOVL_NOMER_KLIENT = ?)\n"
                                             "order by ZAMOVL_NUMBER"),
                              {TIWUserSession::Current().ClientCode});
        struct Order {
            QStringList row;
            QString callsign;
        };
        std::vector<Order> orders;
        for (d.RIZNE.first(); !d.RIZNE.eof(); d.RIZNE.next()) {
            const auto text = [&d](const char *column) { return d.RIZNE.field(QString::fromLatin1(column)).asText(); };
            orders.push_back({{QString::number(orders.size() + 1), text("ZAMOVL_BEZKOSHTOVN"),
                               text("ZAMOVL_DATA_PRIYOMA") + u' ' + text("ZAMOVL_CHAS_PRIYOMA"),
                               text("ZAMOVL_POCHAT_PUNKT"), text("ZAMOVL_PUNKT_PRIZHACH"),
                               text("ZAMOVL_CHAS_PRIYOM_VODIY")},
                              text("ZAMOVL_POZIVNIY").trimmed()});
        }
        d.RIZNE.close();
        for (Order &order : orders) {
            QString car;
            if (order.callsign.toInt() != 0) {
                TDANI::SelectReadOnly(d.DODAT_RIZNE,
                                      QStringLiteral("SELECT * FROM  DANI_AVTO\nWHERE (TABL_AVTO_POZIVN = ?)"),
                                      {order.callsign});
                if (!d.DODAT_RIZNE.isEmpty()) {
                    d.DODAT_RIZNE.last();
                    const auto text = [&d](const char *column) {
                        return d.DODAT_RIZNE.field(QString::fromLatin1(column)).asText();
                    };
                    car = QStringLiteral("позивний :[") + text("TABL_AVTO_POZIVN") + QStringLiteral("] / авто :[")
                        + text("TABL_AVTO_MODEL") + QStringLiteral("] / колір :[") + text("TABL_AVTO_KOLIR") + u']';
                }
                d.DODAT_RIZNE.close();
            }
            IWGrid1.rows.push_back(order.row << car);
        }
    } catch (const std::exception &) {
        d.RIZNE.close();
        d.DODAT_RIZNE.close();
        markFailure(IWGrid1);
    }
}

void TForm_KodovaneZamov::FillArchive(bool told)
{
    if (IWComboBox7.itemIndex < 0 || IWComboBox8.itemIndex < 0)
        return;
    const QDate first = RegionalFormat::parseDate(IWComboBox7.currentText());
    const QDate last = RegionalFormat::parseDate(IWComboBox8.currentText());
    if (!first.isValid() || !last.isValid() || last < first) {
        // A range that holds no day would only show an empty table without a word.
        IWGrid2.rows.clear();
        if (told)
            session().showMessage(QStringLiteral("Кінцева дата архіву не може бути раніше початкової ! Виберіть "
                                                 "дати архіву і повторіть спробу."));
        return;
    }
    ServiceLockGuard lock(ServiceLock());
    TDANI &d = context_.danni;
    IWGrid2.rows.clear();
    try {
        TDANI::SelectReadOnly(d.RIZNE,
                              QStringLiteral("SELECT * FROM  CLOSEZAMOVLENNIA\n"
                                             "WHERE (CZ_STATUS_ZAMOVL = 1) and (CZ_NOMER_KLIENT = ?)\n"
                                             " and (CZ_DATA_PRIYOMA BETWEEN ? AND ?)\n"
                                             "order by CZ_NUMBER"),
                              {TIWUserSession::Current().ClientCode, first, last});
        for (d.RIZNE.first(); !d.RIZNE.eof(); d.RIZNE.next()) {
            const auto text = [&d](const char *column) { return d.RIZNE.field(QString::fromLatin1(column)).asText(); };
            IWGrid2.rows.push_back({QString::number(IWGrid2.rows.size() + 1), text("CZ_BEZKOSHTOVN"),
                                    text("CZ_DATA_PRIYOMA") + u' ' + text("CZ_CHAS_PRIYOMA"), text("CZ_POCHAT_PUNKT"),
                                    text("CZ_PUNKT_PRIZHACH"), text("CZ_CHAS_PRIYOM_VODIY"), text("CZ_POZIVNIY")});
        }
        d.RIZNE.close();
    } catch (const std::exception &) {
        d.RIZNE.close();
        markFailure(IWGrid2);
    }
}

void TForm_KodovaneZamov::LoadPersonalMessage()
{
    if (!IWButton7.enabled)
        return;
    ServiceLockGuard lock(ServiceLock());
    IWMemo1.text.clear();
    fb::Query &q = context_.danni.GPRS_RIZNE;
    TDANI::SelectReadOnly(q, QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT\nWHERE (TABLE_KLIENT_KOD = ?)"),
                          {IWLabel14.caption});
    if (!q.isEmpty()) {
        q.last();
        IWMemo1.text = q.field(0).asText();
    }
    q.close();
}

void TForm_KodovaneZamov::IWButton7Click() { LoadPersonalMessage(); }

void TForm_KodovaneZamov::IWButton1Click()
{
    ServiceLockGuard lock(ServiceLock());
    IWMemo1.text.clear();
    TDANI &d = context_.danni;
    TDANI::Execute(d.GPRS_RIZNE,
                   QStringLiteral("UPDATE TABLE_KLIENT\nSET TABLE_KLIENT_POVID = NULL\nWHERE (TABLE_KLIENT_KOD = ?)"),
                   {IWLabel14.caption});
    if (d.GPRS_TABL_KLIENT.isOpen())
        d.RefreshGrid(TDANI::Grid::Klient);
}

void TForm_KodovaneZamov::IWButton2Click()
{
    const QString addressee = IWComboBox2.currentText();
    if (IWMemo2.text.isEmpty() || addressee.isEmpty() || addressee == QLatin1String("-- No Selection --")) {
        session().showMessage(QStringLiteral("Не задані всі дані. При потребі після виправлення помилки повторіть "
                                             "спробу !"));
        return;
    }
    QString text = QStringLiteral("Призначено для : [") + addressee + QStringLiteral("]\rДати відповідь : [")
        + IWComboBox1.currentText() + QStringLiteral("]\r\r") + IWMemo2.text;
    // The operator's windows have always shown complaints with ^ for the apostrophe.
    text.replace(u'\'', u'^');
    const QDateTime now = QDateTime::currentDateTime();
    {
        ServiceLockGuard lock(ServiceLock());
        const QString address = TIWUserSession::Current().ClientIP;
        if (context_.budgets.complaintRefused(ClientChannel::Web, address)) {
            session().showMessage(
                QStringLiteral("З вашої адреси надіслано забагато повідомлень, повторіть спробу пізніше !"));
            return;
        }
        TDANI &d = context_.danni;
        TDANI::Execute(d.GPRS_RIZNE,
                       QStringLiteral("INSERT INTO TABLE_SKARGA\n"
                                      "(TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV, TABLE_SKARGA_DATA, TABLE_SKARGA_TIME, "
                                      "TABLE_SKARGA_KOD, TABLE_SKARGA_TELEF, TABLE_SKARGA_TEXT)\n"
                                      "VALUES (%1, \n     '-', \n     ?, \n     ?, \n     ?, \n     ?, \n     ?) ")
                           .arg(NextRowNumber(QStringLiteral("TABLE_SKARGA"), QStringLiteral("TABLE_SKARGA_NP"))),
                       {now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()),
                        IWLabel14.caption.left(10), IWLabel13.caption.left(30), text.left(500)});
        context_.budgets.complaintSent(address);
        d.RefreshGrid(TDANI::Grid::Skarga);
    }
    IWMemo2.text.clear();
    IWComboBox2.itemIndex = -1;
    session().showMessage(QStringLiteral("Повідомлення успішно відправлено !"));
}

void TForm_KodovaneZamov::IWTimer1Timer()
{
    ServiceLockGuard lock(ServiceLock());
    // A tick never raises an alert: while a database is down the counters stay as they
    // were and the tables say they could not be filled.
    try {
        RefreshCounters();
    } catch (const fb::Error &) {
    }
    if (IWRegion9.visible) {
        FillActiveOrders();
    } else if (IWRegion10.visible) {
        FillArchive(false);
    } else if (IWRegion12.visible) {
        try {
            LoadPersonalMessage();
        } catch (const fb::Error &) {
        }
    }
}
