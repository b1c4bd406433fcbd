#include "mobile/java_order_commands.h"

#include "common/extract_between.h"
#include "common/format_number5.h"
#include "common/log_text.h"
#include "common/regional_format.h"
#include "common/text64.h"
#include "common/typed_text.h"
#include "common/win1251.h"
#include "data/client_lookup.h"
#include "data/lookup_text.h"
#include "mobile/java_client_table.h"
#include "mobile/java_framing.h"
#include "route/fare.h"
#include "shell/order_limits.h"
#include "route/route_engine.h"
#include "shell/service_context.h"

#include <optional>

namespace {

const QString kNotReadDateTime = QStringLiteral(
    "[не вірно введені дата/час (наприклад вірно дата<01.01.2011>, год від <00>..<23>, хв <00>..<59> )]");
const QString kBracketedTelephone = QStringLiteral("[номер телефона не може містити квадратних дужок]");
const QString kNoConnection =
    QStringLiteral("Помилка під час створення замовлення ! Немає зєднання з базою даних диспетчерської служби ! "
                   "Повторіть спробу замовлення або виконайте замовлення у телефонному режимі.");

// The fields of an order request as the client sent them.
struct OrderRequest {
    explicit OrderRequest(const QByteArray &request)
        : telephone(DecodeText64(JavaField(request, "<NumPhone>", "</NumPhone>"))),
          code(win1251::toUnicode(TrimJavaField(JavaField(request, "<CodClient>", "</CodClient>")))),
          when(JavaField(request, "<DataTimeCreate>", "</DataTimeCreate>")),
          dod1(JavaField(request, "<Dod1>", "</Dod1>")),
          dod2(TrimJavaField(JavaField(request, "<Dod2>", "</Dod2>")))
    {
    }

    bool forNow() const { return when == "NEW"; }

    // The additional data stored with the order: the client's text and, in
    // parentheses, its extras (see ExtrasText).
    QString extraData() const
    {
        QString extra = DecodeText64(dod1);
        if (!dod2.isEmpty()) {
            extra += u'(' + ExtrasText(DecodeText64(dod2)) + u')';
        }
        return extra;
    }

    const QString telephone;  // untrimmed: the order texts are searched with it as sent
    const QString code;  // trimmed
    const QByteArray when;
    const QByteArray dod1;
    const QByteArray dod2;
};

// The piece of the additional data by which a telephone's orders are found.
QString telephoneKey(const QString &telephone)
{
    return QStringLiteral("тел.:[") + telephone + QStringLiteral("]   тариф:[");
}

int orderCode(const QString &code) { return ReadJavaNumber(code).value_or(0); }  // 0 when none or unreadable

void checkTime(ServiceContext &context, const OrderRequest &order, const QDateTime &now, QStringList &errors)
{
    if (order.forNow())
        return;
    const QDateTime wanted = RegionalFormat::readDateTime(win1251::toUnicode(order.when));
    if (!wanted.isValid())
        errors << kNotReadDateTime;
    else if (wanted < now)
        errors << QStringLiteral("[вказана дата і час менша дійсності]");
    else if (const QString far = FarPreliminaryItem(context, wanted, now); !far.isEmpty())
        errors << far;
}

void checkTelephone(const QString &telephone, QStringList &errors)
{
    const QString phone = TrimJavaText(telephone);
    if (phone.isEmpty())
        errors << QStringLiteral("[не вказаний номер телефона]");
    else if (phone.size() <= 4)
        errors << QStringLiteral("[номер телефона закороткий, має бути >= 5 символів]");
    else if (phone.startsWith(u'0') && phone.size() < 8)
        errors << QStringLiteral("[номер телефона не повністю введений]");
    else if (HasSquareBrackets(phone))
        errors << kBracketedTelephone;
}

// The telephones an order's additional data names, as the "тел.:[…]" pieces hold them.
QStringList namedTelephones(const QString &extra)
{
    QStringList telephones;
    const QString open = QStringLiteral("тел.:[");
    for (qsizetype at = extra.indexOf(open); at >= 0; at = extra.indexOf(open, at + 1)) {
        const qsizetype start = at + open.size();
        const qsizetype end = extra.indexOf(u']', start);
        telephones << extra.mid(start, end < 0 ? -1 : end - start);
    }
    return telephones;
}

// Whether the order's text names its own telephone, exactly once: the orders of a
// telephone are found by that piece, so a piece of another telephone would block it.
bool namesOwnTelephone(const OrderRequest &order)
{
    const QString extra = order.extraData();
    return extra.contains(telephoneKey(order.telephone)) && namedTelephones(extra).size() == 1;
}

QString mismatchLine(const OrderRequest &order, const QString &address)
{
    return QStringLiteral("] номер телефона [%1] замовлення клієнта з IP:[%2] не збігається з номером у даних "
                          "замовлення [%3].")
        .arg(LogValue(order.telephone), address, LogValue(namedTelephones(order.extraData()).join(QStringLiteral("], ["))));
}

QDateTime orderTime(const OrderRequest &order, const QDateTime &now)
{
    return order.forNow() ? now : RegionalFormat::readDateTime(win1251::toUnicode(order.when));
}

QDateTime closeTime(ServiceContext &context, const QDateTime &from)
{
    return from.addSecs(qint64(ClosingMinutes(context)) * 60);
}

QByteArray numberElement(const QString &number) { return "<NumZam>" + number.toLatin1() + "</NumZam>"; }

QByteArray refused(const QString &errors) { return numberElement(QStringLiteral("0")) + JavaErrorElement(errors); }

// The end of the ban of the account with the client's code, as "date time"; empty when
// it is not banned. Accounts are stored with the code as the client typed it or as five
// digits ("00220"): both are looked up, and the number as the design reads it.
QString banOf(ServiceContext &context, const QString &typed, int number)
{
    TDANI &d = context.danni;
    const ColumnWidths &columns = d.ServiceColumns(QStringLiteral("TABLE_KLIENT"));
    QStringList forms;
    for (const QString &form : {QString::number(number), FormatNumber5(number), typed})
        if (!forms.contains(form) && FitsColumn(columns, QStringLiteral("TABLE_KLIENT_KOD"), form))
            forms << form;
    if (forms.isEmpty())
        return {};
    QStringList conditions;
    fb::Params params;
    for (const QString &form : forms) {
        conditions << QStringLiteral("(TABLE_KLIENT_KOD = ?)");
        params.emplace_back(form);
    }
    TDANI::Select(d.GPRS_RIZNE, QStringLiteral("SELECT * FROM TABLE_KLIENT\nWHERE ") + conditions.join(QStringLiteral(" OR ")),
                  params);
    QString ban;
    for (d.GPRS_RIZNE.first(); ban.isEmpty() && !d.GPRS_RIZNE.eof(); d.GPRS_RIZNE.next())
        if (d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_BAN")).asText() == QStringLiteral("+"))
            ban = d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_DATBAN")).asText() + u' '
                + d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_TIMEBAN")).asText();
    d.GPRS_RIZNE.close();
    return ban;
}

// The telephone piece of an order's additional data as a literal LIKE piece for `column`.
QString telephonePiece(TDANI &d, const QString &table, const QString &column, const QString &telephone)
{
    return LikePiece(d.DispatchColumns(table), column, telephoneKey(telephone));
}

// Steps 6 to 8 of the quick order: the code, then the telephone. A message, or none.
QString quickOrderRefusal(ServiceContext &context, const OrderRequest &order)
{
    TDANI &d = context.danni;
    QStringList errors;
    std::optional<qint32> code;
    if (!order.code.isEmpty()) {
        const int n = orderCode(order.code);
        if (n == 0) {
            errors << QStringLiteral("[код невірно введений]");
        } else {
            code = n;
            if (!FindClient(d, n))
                errors << QStringLiteral("[вказаний код не існує]");
            const QString ban = banOf(context, order.code, n);
            if (!ban.isEmpty())
                errors << QStringLiteral("[даний код заблокований у базі web сервіса до ") + ban + u']';
        }
        if (!errors.isEmpty())
            return JoinJavaErrors(errors);
    }

    if (context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI)
        return {};
    const int clients = CountClientsByTelephone(d, order.telephone, code);
    if (clients == 1 || clients == 2)
        return {};

    const QString escape = QLatin1String(kLikeEscape);
    QString sql = QStringLiteral("SELECT COUNT(CZ_NUMBER) FROM CLOSEZAMOVLENNIA\n"
                         "WHERE (CZ_STATUS_ZAMOVL = 1) AND (CZ_PRICHINA_DELETE LIKE '%' || ? || '%'")
        + escape + u')';
    fb::Params params{telephonePiece(d, QStringLiteral("CLOSEZAMOVLENNIA"), QStringLiteral("CZ_PRICHINA_DELETE"),
                                     order.telephone)};
    if (code) {
        sql += QStringLiteral("\n AND (CZ_NOMER_KLIENT = ?)");
        params.emplace_back(*code);
    }
    const QString completed = TDANI::ScalarText(d.RIZNE, sql, params);
    if (!completed.isEmpty() && completed != QStringLiteral("0"))
        return {};

    return QStringLiteral(
               "[[-] Немає можливості створити замовлення на вказаний телефон. Можливі причини відмови :\r"
               "    - вказаний телефон ще не реєструвався на замовлення у базі служби (замовлення надається тільки "
               "клієнтам які вже попередньо замовляли таксі). \r"
               "    - багато найдено клієнтів по шаблону телефона (великий процент співпадань, вкажіть більш точний "
               "номер телефона). \r"
               "    - телефонний номер не належить власнику кода (при умові його вказівки). \r"
               "************************************\r"
               "ПРИ НЕМОЖЛИВОСТІ СТВОРЕННЯ ЗАМОВЛЕННЯ, СТВОРІТЬ ЗАМОВЛЕННЯ У ТЕЛЕФОННОМУ РЕЖИМІ тел.[")
        + context.settings.TELEFON_FIRMA + QStringLiteral("]]");
}

QByteArray quickOrder(ServiceContext &context, RouteEngine &routes, const QString &address, const QByteArray &request,
                      const QDateTime &now)
{
    TDANI &d = context.danni;
    const OrderRequest order(request);
    QString sql = QStringLiteral("SELECT ZAMOVL_NUMBER FROM ZAMOVLENNIA\n"
                                 "WHERE ((ZAMOVL_STATUS_ZAMOVL = 0) AND (ZAMOVL_PRICHINA_DELETE LIKE '%' || ? || '%'")
        + QLatin1String(kLikeEscape) + QStringLiteral(")) ");
    fb::Params params{
        telephonePiece(d, QStringLiteral("ZAMOVLENNIA"), QStringLiteral("ZAMOVL_PRICHINA_DELETE"), order.telephone)};
    // A code that is no whole number (or does not fit the column) cannot be anybody's:
    // it matches no order here and is refused with the code checks below.
    const std::optional<qint32> code = ReadJavaNumber(order.code);
    if (!order.code.isEmpty() && code) {
        sql += QStringLiteral("\n OR (ZAMOVL_NOMER_KLIENT = ?)");
        params.emplace_back(*code);
    }
    TDANI::Select(d.RIZNE, sql, params);
    QStringList errors;
    if (!d.RIZNE.isEmpty())
        errors << QStringLiteral("[на вказаний код і/або телефон існують активні замовлення (більше одного "
                                 "активного замовлення дозволяється у випадку кодованого замовлення)]");
    d.RIZNE.close();
    checkTime(context, order, now, errors);
    checkTelephone(order.telephone, errors);
    if (!context.settings.DOZVIL_ZAM_PO_DANIH_TELEFONA && order.code.isEmpty())
        errors << QStringLiteral("[потрібно обовязково вказувати код клієнта]");
    if (!namesOwnTelephone(order)) {
        errors << QStringLiteral("[номер телефона у даних замовлення не збігається з вказаним номером]");
        context.mobileLog.event(mismatchLine(order, address));
    }
    if (const QString budget = context.budgets.quickOrderRefusal(ClientChannel::Mobile, address,
                                                                 context.settings.TELEFON_FIRMA);
        !budget.isEmpty())
        errors << budget;
    if (!errors.isEmpty())
        return refused(JoinJavaErrors(errors));

    const QString refusal = quickOrderRefusal(context, order);
    if (!refusal.isEmpty())
        return refused(refusal);

    const QDateTime when = orderTime(order, now);
    const std::optional<int> number =
        routes.CreateOrder(metrics::OrderSource::MobileQuick, orderCode(order.code), order.extraData(),
                           DecodeText64(TrimJavaField(JavaField(request, "<Punct1>", "</Punct1>"))),
                           QStringLiteral("null"), 0, 0, when, QStringLiteral("HI"), 0, closeTime(context, when));
    if (!number)
        return refused(kNoConnection);
    context.budgets.quickOrderPlaced(ClientChannel::Mobile, address);
    return numberElement(QString::number(*number));
}

// The jubilee trip's checks; their messages follow each other without separator.
QString jubileeRefusal(ServiceContext &context, const TTableJavaClient &slot, const OrderRequest &order,
                       const QDateTime &now)
{
    TDANI &d = context.danni;
    const qint32 code = slot.clientNumber();
    QString text;
    if (!order.forNow())
        text += QStringLiteral("[Немає можливості вказувати одночасно ювілейну поїздку як попереднє замовлення ! ]");

    const std::optional<ClientRecord> client = FindClient(d, code);
    const QString free = client ? client->kilFreeViklik : QString();
    if (free.isEmpty() || free.toDouble() <= 0)
        return text + QStringLiteral("[У Вас немає вільних ювілейок ! ]");

    TDANI::Select(d.RIZNE,
                  QStringLiteral("SELECT  *  FROM  ZAMOVLENNIA\n"
                                 "WHERE (ZAMOVL_NOMER_KLIENT = ?) and (ZAMOVL_BEZKOSHTOVN ='TAK') AND "
                                 "(ZAMOVL_STATUS_ZAMOVL = 0)"),
                  {code});
    const bool activeJubilee = !d.RIZNE.isEmpty();
    d.RIZNE.close();
    if (activeJubilee)
        return text + QStringLiteral("[В даний час у Вас є активна невиконана ювілейна поїздка (немає можливості мати "
                                     "більше однієї активної ювілейної поїздки) ! ]");
    if (!context.settings.DOSTUP_ZAKAZ_YUVILEYLA)
        return text + QStringLiteral("[Відключена адміністратором можливість вибирати ювілейну поїздку ! ]");
    const QString hour = u'[' + QStringLiteral("%1").arg(now.time().hour(), 2, 10, QChar(u'0')) + u']';
    if (!context.settings.ROZKLAD_YUVILEYOK.contains(hour))
        return text + QStringLiteral("[У налаштуваннях сервера у дану годину немає можливості вибирати ювілейну поїздку "
                                     "(ювілейна поїздка не надається як попереднє замовлення, інакше замовте у "
                                     "телефонному режимі) ! ]");
    return text;
}

double tripDistance(RouteEngine &routes, const QString &start, const QString &destination, const OnlinePolicy &online)
{
    const double distance = routes.CalcTripDistance(start, destination, online);
    return distance != 0 ? CutAfterTwoDecimals(distance) : 0;
}

QByteArray codedOrder(ServiceContext &context, RouteEngine &routes, TTableJavaClient &slot, const QByteArray &request,
                      const QDateTime &now, const OnlinePolicy &online)
{
    TDANI &d = context.danni;
    const OrderRequest order(request);
    const QString pickup = DecodeText64(JavaField(request, "<Punct1>", "</Punct1>"));
    QStringList errors;
    if (TrimJavaText(pickup).isEmpty())
        errors << QStringLiteral("[не вказана початкова адреса]");
    checkTime(context, order, now, errors);
    checkTelephone(order.telephone, errors);
    if (const QString many = TooManyOpenOrdersItem(context, slot.clientNumber(), 1); !many.isEmpty())
        errors << many;
    QString errorText = JoinJavaErrors(errors);
    const bool jubilee = JavaField(request, "<Yvileyka>", "</Yvileyka>") == "YES";
    if (jubilee)
        errorText += jubileeRefusal(context, slot, order, now);
    if (!errorText.isEmpty())
        return refused(errorText);

    // The telephone of a coded order may be the account's: a mismatch is only noted.
    if (!namesOwnTelephone(order))
        context.mobileLog.event(mismatchLine(order, slot.IP));
    const QDateTime when = orderTime(order, now);
    QString destination = DecodeText64(JavaField(request, "<Punct2>", "</Punct2>"));
    if (TrimJavaText(destination).isEmpty())
        destination = QStringLiteral("null");
    const bool withDestination = destination != QStringLiteral("null");
    const double distance = withDestination && !jubilee ? tripDistance(routes, pickup, destination, online) : 0;
    const double fare = LoadTariff(d, context.settings.MAIN_TARIF, order.forNow() ? 0 : 1, distance, 0, 0);

    const std::optional<int> number =
        routes.CreateOrder(metrics::OrderSource::MobileCoded, slot.clientNumber(), order.extraData(), pickup, destination, 0, fare, when,
                           jubilee ? QStringLiteral("TAK") : QStringLiteral("HI"), 0, closeTime(context, when));
    // A failed insert is answered as the quick order answers it; the client keeps
    // following the order it followed.
    if (!number)
        return refused(kNoConnection);
    slot.NumZam = *number;
    return numberElement(QString::number(slot.NumZam));
}

// Without the dispatchers' database an order cannot be placed: the client is told so, as
// when the insert itself fails, instead of waiting for an answer that never comes.
template <class F>
QByteArray unlessDisconnected(F &&order)
{
    try {
        return order();
    } catch (const fb::ConnectionLost &) {
        return refused(kNoConnection);
    }
}

}  // namespace

QByteArray QuickOrderAnswer(ServiceContext &context, RouteEngine &routes, const QString &address,
                            const QByteArray &request, const QDateTime &now)
{
    return "<OtvetCreateZam>" + unlessDisconnected([&] { return quickOrder(context, routes, address, request, now); })
        + "</OtvetCreateZam>";
}

QByteArray CodedOrderAnswer(ServiceContext &context, RouteEngine &routes, TTableJavaClient &slot,
                            const QByteArray &request, const QDateTime &now, const OnlinePolicy &online)
{
    return "<OtvetCreateZamCodForm>"
        + unlessDisconnected([&] { return codedOrder(context, routes, slot, request, now, online); })
        + "</OtvetCreateZamCodForm>";
}

QByteArray FareEstimateAnswer(ServiceContext &context, RouteEngine &routes, const QByteArray &request,
                              const OnlinePolicy &online)
{
    const double distance = tripDistance(routes, DecodeText64(JavaField(request, "<Punct1>", "</Punct1>")),
                                         DecodeText64(JavaField(request, "<Punct2>", "</Punct2>")), online);
    const double fare = LoadTariff(context.danni, context.settings.MAIN_TARIF, 0, distance, 0, 0);
    return "</OtvetRozrahSuma><SumaZam>" + RegionalFormat::numberText(fare).toLatin1()
        + "</SumaZam></OtvetRozrahSuma>";
}

QString OrderLogLine(const QByteArray &answer, const QString &address)
{
    const QByteArray number = ExtractBetween(answer, QByteArray("<NumZam>"), QByteArray("</NumZam>"));
    if (number != "0")
        return QStringLiteral("] Замовлення під номером ") + QString::fromLatin1(number)
            + QStringLiteral(" успішно створено клієнтом з IP:[") + address + QStringLiteral("].");
    return QStringLiteral("] Помилка під час створення замовлення клієнтом з IP:[") + address + QStringLiteral("].");
}
