#include "dispatcher.h"

#include <stdexcept>

namespace kvtest {

namespace {

const QString kArrived = QStringLiteral("Прохання турбувати клієнтів");

}  // namespace

Dispatcher::Dispatcher(const fb::ConnectParams &params)
{
    attachment_.open(params);
}

void Dispatcher::assignCar(int order, const QString &callsign)
{
    fb::Transaction transaction(attachment_);
    fb::Query query(transaction);
    if (query.execute(QStringLiteral("UPDATE ZAMOVLENNIA SET ZAMOVL_POZIVNIY = ?, "
                                     "ZAMOVL_CHAS_PRIYOM_VODIY = CAST(CURRENT_TIMESTAMP(0) AS TIME) "
                                     "WHERE ZAMOVL_NUMBER = ?"),
                      {callsign, order})
        != 1)
        throw std::runtime_error("no open order " + std::to_string(order));
    transaction.commit();
}

void Dispatcher::driverArrived(int order)
{
    fb::Transaction transaction(attachment_);
    fb::Query query(transaction);
    query.execute(QStringLiteral("INSERT INTO DYA_VODIY_GPRS (DYA_VODIY_GPRS_NP, DYA_VODIY_GPRS_NZ, DYA_VODIY_GPRS_DYA) "
                                 "SELECT COALESCE(MAX(DYA_VODIY_GPRS_NP), 0) + 1, ?, ? FROM DYA_VODIY_GPRS"),
                  {order, kArrived});
    transaction.commit();
}

void Dispatcher::close(int order, int status)
{
    fb::Transaction transaction(attachment_);
    fb::Query query(transaction);
    const int copied = query.execute(
        QStringLiteral("INSERT INTO CLOSEZAMOVLENNIA (CZ_NUMBER, CZ_NOMER_KLIENT, CZ_STATUS_ZAMOVL, CZ_DATA_PRIYOMA, "
                       "CZ_CHAS_PRIYOMA, CZ_CHAS_PRIYOM_VODIY, CZ_BEZKOSHTOVN, CZ_POCHAT_PUNKT, CZ_PUNKT_PRIZHACH, "
                       "CZ_SUMA_ROZRAHUNK, CZ_POZIVNIY, CZ_PRICHINA_DELETE) "
                       "SELECT ZAMOVL_NUMBER, ZAMOVL_NOMER_KLIENT, ?, ZAMOVL_DATA_PRIYOMA, ZAMOVL_CHAS_PRIYOMA, "
                       "ZAMOVL_CHAS_PRIYOM_VODIY, ZAMOVL_BEZKOSHTOVN, ZAMOVL_POCHAT_PUNKT, ZAMOVL_PUNKT_PRIZHACH, "
                       "ZAMOVL_SUMA_ROZRAHUNK, ZAMOVL_POZIVNIY, ZAMOVL_PRICHINA_DELETE FROM ZAMOVLENNIA "
                       "WHERE ZAMOVL_NUMBER = ?"),
        {status, order});
    if (copied != 1)
        throw std::runtime_error("no open order " + std::to_string(order));
    query.execute(QStringLiteral("DELETE FROM ZAMOVLENNIA WHERE ZAMOVL_NUMBER = ?"), {order});
    transaction.commit();
}

void Dispatcher::addBuilding(int number, int x, int y, int street, const QString &caption)
{
    fb::Transaction transaction(attachment_);
    fb::Query query(transaction);
    query.execute(QStringLiteral("INSERT INTO KARTA_MISTA (KOORD_KART_MISTA_NP, KOORD_KART_MISTA_X, KOORD_KART_MISTA_Y, "
                                 "KOORD_KART_MISTA_PUKT_1, KOORD_KART_MISTA_PUKT_2, KOORD_KART_MISTA_PUKT_3, "
                                 "KOORD_KART_MISTA_PUKT_4, KOORD_KART_MISTA_PUKT_5, KOORD_KART_MISTA_PIDPIS) "
                                 "VALUES (?, ?, ?, ?, 0, 0, 0, 0, ?)"),
                  {number, x, y, street, caption});
    transaction.commit();
}

QList<Dispatcher::OpenOrder> Dispatcher::openWebOrders()
{
    fb::Transaction transaction(attachment_);
    fb::Query query(transaction);
    query.open(QStringLiteral("SELECT Z.ZAMOVL_NUMBER, Z.ZAMOVL_POZIVNIY, "
                              "(SELECT COUNT(*) FROM DYA_VODIY_GPRS D WHERE D.DYA_VODIY_GPRS_NZ = Z.ZAMOVL_NUMBER) "
                              "FROM ZAMOVLENNIA Z WHERE Z.ZAMOVL_PRIYOM_ZAMOVL = 'WEB' AND Z.ZAMOVL_STATUS_ZAMOVL = 0 "
                              "ORDER BY Z.ZAMOVL_NUMBER"));
    QList<OpenOrder> orders;
    for (query.first(); !query.eof(); query.next())
        orders.append({int(query.field(0).asInt()), query.field(1).asText().trimmed(), query.field(2).asInt() > 0});
    transaction.commit();
    return orders;
}

QStringList Dispatcher::callsigns()
{
    fb::Transaction transaction(attachment_);
    fb::Query query(transaction);
    query.open(QStringLiteral("SELECT TABL_AVTO_POZIVN FROM DANI_AVTO ORDER BY TABL_AVTO_POZIVN"));
    QStringList callsigns;
    for (query.first(); !query.eof(); query.next())
        callsigns << query.field(0).asText().trimmed();
    transaction.commit();
    return callsigns;
}

}  // namespace kvtest
