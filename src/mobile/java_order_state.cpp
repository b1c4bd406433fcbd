#include "mobile/java_order_state.h"

#include "common/extract_between.h"
#include "common/text64.h"
#include "common/win1251.h"
#include "data/order_texts.h"
#include "mobile/java_client_table.h"
#include "mobile/java_framing.h"
#include "shell/service_context.h"

namespace {

int numberIn(const QByteArray &request, const char *open, const char *close)
{
    // 0 when it does not read
    return ReadJavaNumber(win1251::toUnicode(ExtractBetween(request, QByteArray(open), QByteArray(close)))).value_or(0);
}

QString carText(TDANI &d, const QString &callsign)
{
    QString text = QStringLiteral("позивний[") + callsign + u']';
    TDANI::SelectReadOnly(d.DODAT_RIZNE,
                          QStringLiteral("SELECT  TABL_AVTO_NOMERAVTO, TABL_AVTO_KOLIR, TABL_AVTO_MODEL FROM DANI_AVTO\n"
                                         "WHERE (TABL_AVTO_POZIVN = ?)"),
                          {callsign.trimmed()});
    if (!d.DODAT_RIZNE.isEmpty()) {
        d.DODAT_RIZNE.last();
        text += QStringLiteral(" авто:[") + d.DODAT_RIZNE.field(0).asText() + QStringLiteral(" / ")
            + d.DODAT_RIZNE.field(1).asText() + QStringLiteral(" / ") + d.DODAT_RIZNE.field(2).asText() + u']';
    }
    d.DODAT_RIZNE.close();
    return text;
}

QByteArray activeOrderElements(TDANI &d)
{
    // Every column is read first: the car look-up commits the transaction RIZNE shares.
    const auto text = [&](const char *name) { return d.RIZNE.field(QString::fromLatin1(name)).asText(); };
    const QString callsign = text("ZAMOVL_POZIVNIY");
    const QString extra = text("ZAMOVL_PRICHINA_DELETE");
    QByteArray elements = JavaElement("ActiveZam", "0") + JavaElement("Punct1", EncodeText64(text("ZAMOVL_POCHAT_PUNKT")))
        + JavaElement("Punct2", EncodeText64(text("ZAMOVL_PUNKT_PRIZHACH")))
        + JavaElement("DataTimeZamCreate",
                      win1251::fromUnicode(text("ZAMOVL_DATA_PRIYOMA") + u' ' + text("ZAMOVL_CHAS_PRIYOMA")))
        + JavaElement("DataTimeZamZapusk", win1251::fromUnicode(text("ZAMOVL_CHAS_PRIYOM_VODIY")));
    d.RIZNE.close();
    return elements
        + JavaElement("DaniAuto", callsign.trimmed().isEmpty() ? QByteArray() : EncodeText64(carText(d, callsign)))
        + JavaElement("TarifZam", EncodeText64(OrderTariff(extra)))
        + JavaElement("DodatkovoZam", EncodeText64(ExtractBetween(extra, QStringLiteral("("), QStringLiteral(")"))));
}

// The list item of the current row of a list query (columns in the order of OrderLine).
QString rowLine(const fb::Query &q)
{
    return OrderLine(q.field(0).asText(), q.field(1).asText(), q.field(2).asText(), q.field(3).asText(),
                     q.field(4).asText(), q.field(5).asText(), q.field(6).asText());
}

}  // namespace

QString OrderLine(const QString &date, const QString &time, const QString &freeRide, const QString &pickup,
                  const QString &destination, const QString &sum, const QString &callsign)
{
    QString line = date + u' ' + time + QStringLiteral(" [") + freeRide + QStringLiteral("] ~~~ ") + pickup;
    if (!destination.trimmed().isEmpty())
        line += QStringLiteral(" --- >>> ") + destination;
    line += QStringLiteral(" попередня розрахована сума =") + sum;
    if (!callsign.trimmed().isEmpty())
        line += QStringLiteral(" узяв позивний ") + callsign;
    return line;
}

// Clients poll these: their reads run read-only, without a transaction of their own.
QByteArray OrderStateAnswer(ServiceContext &context, const QByteArray &request)
{
    TDANI &d = context.danni;
    const int number = numberIn(request, "<PerevirkaActiveZam>", "</PerevirkaActiveZam>");
    QByteArray answer = "<OtvetActiveZam>";
    if (number == 0) {
        answer += JavaElement("ActiveZam", {});
    } else {
        TDANI::SelectReadOnly(d.RIZNE, QStringLiteral("SELECT * FROM ZAMOVLENNIA\nWHERE (ZAMOVL_NUMBER = ?)"), {number});
        if (d.RIZNE.recordCount() == 1) {
            answer += activeOrderElements(d);
        } else {
            d.RIZNE.close();
            TDANI::SelectReadOnly(d.RIZNE,
                                  QStringLiteral("SELECT CZ_NUMBER, CZ_STATUS_ZAMOVL FROM CLOSEZAMOVLENNIA\n"
                                                 "WHERE (CZ_NUMBER = ?)"),
                                  {number});
            if (d.RIZNE.isEmpty())
                answer += JavaElement("ActiveZam", {});
            else
                answer += JavaElement("ActiveZam", d.RIZNE.field(1).asText() == QStringLiteral("1") ? "1" : "-1");
            d.RIZNE.close();
        }
    }
    answer += "</OtvetActiveZam>";
    context.accounts.addQuickEntry();
    return answer;
}

void ChooseFollowedOrder(TTableJavaClient &slot, const QByteArray &request)
{
    slot.NumZam = numberIn(request, "<CheckNumZamFormCodZam>", "</CheckNumZamFormCodZam>");
}

QByteArray ActiveOrdersAnswer(ServiceContext &context, const TTableJavaClient &slot)
{
    fb::Query &q = context.danni.RIZNE;
    TDANI::SelectReadOnly(q,
                          QStringLiteral("SELECT ZAMOVL_DATA_PRIYOMA, ZAMOVL_CHAS_PRIYOMA, ZAMOVL_BEZKOSHTOVN, "
                                         "ZAMOVL_POCHAT_PUNKT, ZAMOVL_PUNKT_PRIZHACH, ZAMOVL_SUMA_ROZRAHUNK, ZAMOVL_POZIVNIY, "
                                         "ZAMOVL_NUMBER   FROM ZAMOVLENNIA\n"
                                         "WHERE (ZAMOVL_NOMER_KLIENT = ?) and (ZAMOVL_STATUS_ZAMOVL = 0)\n"
                                         "order by ZAMOVL_NUMBER"),
                          {slot.clientNumber()});
    QByteArray answer = "<OpenListActivZamovl>" + JavaElement("CountActiveZam", QByteArray::number(q.recordCount()));
    int k = 0;
    for (q.first(); !q.eof(); q.next()) {
        ++k;
        answer += JavaElement("NumZam" + QByteArray::number(k), win1251::fromUnicode(q.field(7).asText()))
            + JavaListItem(k, rowLine(q));
    }
    q.close();
    return answer + "</OpenListActivZamovl>";
}

QByteArray ArchiveOrdersAnswer(ServiceContext &context, const TTableJavaClient &slot)
{
    fb::Query &q = context.danni.RIZNE;
    TDANI::SelectReadOnly(q,
                          QStringLiteral("SELECT CZ_DATA_PRIYOMA, CZ_CHAS_PRIYOMA, CZ_BEZKOSHTOVN, CZ_POCHAT_PUNKT, "
                                         "CZ_PUNKT_PRIZHACH, CZ_SUMA_ROZRAHUNK, CZ_POZIVNIY, CZ_NUMBER   FROM CLOSEZAMOVLENNIA\n"
                                         "WHERE (CZ_NOMER_KLIENT = ?) and (CZ_STATUS_ZAMOVL = 1)\n"
                                         "order by CZ_NUMBER desc"),
                          {slot.clientNumber()});
    QByteArray answer = "<OpenListArhivZamovl>";
    int k = 0;
    for (q.first(); !q.eof() && k < kArchiveOrderLimit; q.next())
        answer += JavaListItem(++k, rowLine(q));
    q.close();
    return answer + JavaElement("CountActiveZam", QByteArray::number(k)) + "</OpenListArhivZamovl>";
}
