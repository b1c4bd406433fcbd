// The new order panel of the coded order page: the trip's two points, the fare
// estimate, the jubilee trip and the orders placed, one per car.

#include "web/form_kodovane_zamov.h"

#include "common/log_text.h"
#include "common/regional_format.h"
#include "common/service_lock.h"
#include "route/fare.h"
#include "route/route_engine.h"
#include "shell/order_limits.h"
#include "shell/service_context.h"
#include "web/main_web.h"
#include "web/user_session.h"

#include <cmath>

namespace {

const QChar CR = u'\r';
const QString kNoStart = QStringLiteral("вкажіть початкову адресу");
const QString kNoEnd = QStringLiteral("вкажіть кінцеву адресу (при потребі)");

// A number as the page's labels show it, with the decimal comma.
std::optional<double> labelNumber(QString text)
{
    bool ok = false;
    const double value = text.replace(u',', u'.').toDouble(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

QString refusalMessage(const QString &lead, const QStringList &errors)
{
    return lead + CR + errors.join(CR) + CR + QStringLiteral(" Після виправлення помилок повторіть спробу !");
}

}  // namespace

QString TForm_KodovaneZamov::zeroTripFare() const
{
    return RegionalFormat::numberText(
        LoadTariff(context_.danni, IWLabel38.caption, IWCheckBox1.checked ? 1 : 0, 0, 0, 0));
}

void TForm_KodovaneZamov::resetFare()
{
    ServiceLockGuard lock(ServiceLock());
    // A jubilee trip goes by the taximeter whatever points are chosen after it: it is
    // written with sum 0, never with the taking price.
    IWLabel39.caption = IWCheckBox7.checked ? QStringLiteral("по таксометру") : zeroTripFare();
    IWLabel55.caption = QStringLiteral("0");
}

bool TForm_KodovaneZamov::startSet() const { return IWLabel51.caption != kNoStart; }
bool TForm_KodovaneZamov::endSet() const { return IWLabel52.caption != kNoEnd; }

void TForm_KodovaneZamov::pointFromAddressPanel(WebLabel &value, const QString &which)
{
    value.caption = &value == &IWLabel51 ? kNoStart : kNoEnd;
    resetFare();
    QStringList errors;
    if (Address.NoPlaceChosen())
        errors << QStringLiteral("[не задано вулиці або обєкта подачи]");
    if (Address.NoHouseGiven())
        errors << QStringLiteral("[не задано номер будинка]");
    if (!errors.isEmpty()) {
        session().showMessage(refusalMessage(
            QStringLiteral("Немає можливості взяти дані для %1 пункта, так як виявлені такі помилки : ").arg(which),
            errors));
        return;
    }
    value.caption = Address.BuildAddressText();
}

void TForm_KodovaneZamov::IWImageButton11Click() { pointFromAddressPanel(IWLabel51, QStringLiteral("початкового")); }
void TForm_KodovaneZamov::IWImageButton12Click() { pointFromAddressPanel(IWLabel52, QStringLiteral("кінцевого")); }

void TForm_KodovaneZamov::IWImageButton13Click()
{
    IWLabel52.caption = kNoEnd;
    resetFare();
}

void TForm_KodovaneZamov::pointFromArchive(WebComboBox &archive, WebLabel &value)
{
    const QString text = archive.currentText();
    if (text.isEmpty() || text == QLatin1String("-- No Selection --"))
        return;
    value.caption = text;
    resetFare();
}

void TForm_KodovaneZamov::IWComboBox5Change() { pointFromArchive(IWComboBox5, IWLabel51); }
void TForm_KodovaneZamov::IWComboBox6Change() { pointFromArchive(IWComboBox6, IWLabel52); }

void TForm_KodovaneZamov::IWImageButton8Click()
{
    if (!startSet() || !endSet()) {
        resetFare();
        session().showMessage(!startSet()
                                  ? QStringLiteral("Для розрахунку потрібно вказати початковий пункт по місту !")
                                  : QStringLiteral("Для повноцінного розрахунку приблизної суми поїздки потрібно "
                                                   "задати кінцевий пункт призначення по місту !"));
        return;
    }
    // The engine takes the service lock itself, and leaves it while it waits for the
    // online route page: holding it here would keep every other client waiting.
    double distance = 0;
    bool counts = true;  // a route page too busy to be asked costs the client no attempt
    try {
        distance = TWebMainForm::Routes().CalcTripDistance(IWLabel51.caption, IWLabel52.caption);
    } catch (const RoutePageBusy &) {
        counts = false;
    }
    TIWUserSession &user = TIWUserSession::Current();
    ServiceLockGuard lock(ServiceLock());
    QString message;
    if (distance != 0) {
        const double km = CutAfterTwoDecimals(distance);
        const double sum =
            CutAfterTwoDecimals(LoadTariff(context_.danni, IWLabel38.caption, IWCheckBox1.checked ? 1 : 0, km, 0, 0));
        IWLabel39.caption = RegionalFormat::numberText(sum);
        IWLabel55.caption = RegionalFormat::numberText(km);
    } else {
        resetFare();
        message = QStringLiteral("Помилка під час прорахунку відстані між початковим і кінцевим пунктами (можливо "
                                 "один або два пункта не належать карті міста)! ");
    }
    if (counts && --user.CalcAttemptsLeft <= 0)
        IWImageButton8.visible = false;
    session().showMessage(message + QStringLiteral("У Вас ще залишилося [") + QString::number(user.CalcAttemptsLeft)
                          + QStringLiteral("] спроби прорахунку відстані і суми поїздки."));
}

void TForm_KodovaneZamov::IWImageButton9Click()
{
    ServiceLockGuard lock(ServiceLock());
    fb::Query &q = context_.danni.RIZNE;
    TDANI::SelectReadOnly(q, QStringLiteral("select * from TARIFI\nWHERE (TARIF_NAME = ?)"), {IWLabel38.caption});
    if (q.isEmpty()) {
        q.close();
        return;
    }
    q.last();
    const auto price = [&q](const char *column) { return q.field(QString::fromLatin1(column)).asText(); };
    const QString message =
        QStringLiteral("ДАНІ ПО ВКАЗАНОМУ ТАРИФУ : ") + QStringLiteral("<ціна прийняття замовлення [")
        + price("TARIF_PRIINYATTA_ZAMOVL") + QStringLiteral("]>  ") + QStringLiteral("<ціна за один кілометр по місту [")
        + price("TARIF_KM_MISTO") + QStringLiteral("]>  ") + QStringLiteral("<ціна за один кілометр за містом [")
        + price("TARIF_KM_ZA_MISTO") + QStringLiteral("], під час попереднього розрахунка не враховується>  ")
        + QStringLiteral("<ціна однієї хвилини простою [") + price("TARIF_HV_PROSTOU")
        + QStringLiteral("], під час попереднього розрахунка не враховується>  ")
        + QStringLiteral("<ціна за прийняття попереднього замовлення [")
        + (IWCheckBox1.checked ? price("TARIF_CINA_POPERED_ZAMOVL") : QStringLiteral("0")) + QStringLiteral("]>  ")
        + QStringLiteral(" У ВИПАДКУ ВІДКЛЮЧЕНОЇ ФУНКЦІЇ ПРОРАХУНКУ ВІДСТАНІ, ВІДСТАНЬ БУДЕ ЗАДАВАТИСЯ ПО "
                         "ЗАМОВЧЮВАННІ [0] км.");
    q.close();
    session().showMessage(message);
}

QString TForm_KodovaneZamov::jubileeRefusal()
{
    RefreshCounters();
    const std::optional<double> free = labelNumber(IWLabel18.caption);
    if (!free || *free <= 0)
        return QStringLiteral("У Вас немає вільних ювілейок ! ");
    TDANI &d = context_.danni;
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT  *  FROM  ZAMOVLENNIA\n"
                                         "WHERE (ZAMOVL_NOMER_KLIENT = ?) and (ZAMOVL_BEZKOSHTOVN ='TAK') AND "
                                         "(ZAMOVL_STATUS_ZAMOVL = 0)"),
                          {TIWUserSession::Current().ClientCode});
    const bool active = !d.RIZNE.isEmpty();
    d.RIZNE.close();
    if (active)
        return QStringLiteral("В даний час у Вас є активна невиконана ювілейна поїздка (немає можливості мати більше "
                              "однієї активної ювілейної поїздки) ! ");
    if (!context_.settings.DOSTUP_ZAKAZ_YUVILEYLA)
        return QStringLiteral("Відключена адміністратором можливість вибирати ювілейну поїздку ! ");
    const QString hour = QStringLiteral("[%1]").arg(QTime::currentTime().hour(), 2, 10, QChar(u'0'));
    if (!context_.settings.ROZKLAD_YUVILEYOK.contains(hour))
        return QStringLiteral("У налаштуваннях адміністратора у дану годину немає можливості вибирати ювілейну поїздку "
                              "(ювілейна поїздка не надається як попереднє замовлення, інакше замовте у телефонному "
                              "режимі) ! ");
    return {};
}

void TForm_KodovaneZamov::IWCheckBox7Click()
{
    Options.SetToNow();
    if (!IWCheckBox7.checked) {
        IWEdit2.enabled = IWImageButton8.enabled = IWCheckBox1.enabled = true;
        resetFare();
        return;
    }
    IWEdit2.text = QStringLiteral("1");
    IWEdit2.enabled = IWImageButton8.enabled = false;
    IWLabel39.caption = QStringLiteral("по таксометру");
    IWLabel55.caption = QStringLiteral("0");
    IWCheckBox1.checked = IWCheckBox1.enabled = false;
    IWEdit5.enabled = IWEdit6.enabled = IWEdit7.enabled = false;
    ServiceLockGuard lock(ServiceLock());
    const QString error = jubileeRefusal();
    if (error.isEmpty())
        return;
    IWEdit2.enabled = IWImageButton8.enabled = true;
    IWCheckBox7.checked = false;
    resetFare();
    session().showMessage(QStringLiteral("Немає можливості вказати ювілейну поїздку, можливі помилки : ") + error);
    IWCheckBox1.enabled = true;
}

QDateTime TForm_KodovaneZamov::closingTime(const QDateTime &orderTime) const
{
    if (IWLabel55.caption != QLatin1String("0")) {
        const std::optional<double> km = labelNumber(IWLabel55.caption);
        // About 40 km/h, plus ten minutes; halves go to the even minute.
        const double minutes = 10 + (km ? std::nearbyint(*km / 0.66) : 0);
        return orderTime.addSecs(qint64(minutes) * 60);
    }
    return orderTime.addSecs(qint64(ClosingMinutes(context_)) * 60);
}

void TForm_KodovaneZamov::IWImageButton7Click()
{
    const QDateTime now = QDateTime::currentDateTime();
    ServiceLockGuard lock(ServiceLock());
    const QString refusal = QStringLiteral("Немає можливості створити замовлення, так як виявлені такі помилки : ");
    QStringList errors;
    if (!startSet())
        errors << QStringLiteral("[не вказана початкова адреса]");
    errors << Options.Check(now, context_);
    if (!errors.isEmpty()) {
        session().showMessage(refusalMessage(refusal, errors));
        return;
    }
    bool isNumber = false;
    const int cars = IWEdit2.text.trimmed().toInt(&isNumber);
    if (!isNumber || cars <= 0)
        return;
    // One account may not flood the dispatchers: the cars and its open orders together.
    if (const QString many = TooManyOpenOrdersItem(context_, TIWUserSession::Current().ClientCode, cars);
        !many.isEmpty()) {
        session().showMessage(refusalMessage(refusal, {many}));
        return;
    }
    createOrders(cars);
    resetNewOrderPanel();
    showPanel(IWRegion9);
    FillActiveOrders();
}

void TForm_KodovaneZamov::createOrders(int cars)
{
    const TIWUserSession &user = TIWUserSession::Current();
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime when = IWCheckBox1.checked ? Options.PreliminaryTime().value_or(now) : now;
    const QString extra = Options.AdditionalDataText(IWLabel13.caption, IWLabel38.caption);
    const QString end = endSet() ? IWLabel52.caption : QStringLiteral("null");
    const double sum = labelNumber(IWLabel39.caption).value_or(0);  // 0 for "по таксометру"
    const QString freeRide = IWCheckBox7.checked ? QStringLiteral("TAK") : QStringLiteral("HI");
    const QDateTime closing = closingTime(when);
    int placed = 0;
    while (placed < cars
           && TWebMainForm::Routes().CreateOrder(metrics::OrderSource::CodedPage, user.ClientCode, extra, IWLabel51.caption, end, 0, sum, when, freeRide,
                                                 0, closing))
        ++placed;
    if (placed == cars)
        return;
    // The rest would most likely fail alike: the client is told what stands.
    context_.webLog.event(QStringLiteral("] кодованому клієнту з кодом [") + LogValue(IWLabel14.caption)
                          + QStringLiteral("] створено %1 з %2 замовлень, решту не створено через помилку бази даних.")
                                .arg(placed)
                                .arg(cars));
    session().showMessage(QStringLiteral("Створено замовлень: %1 з %2. Решту замовлень створити не вдалося (помилка "
                                         "бази даних диспетчерської служби). Замовте їх у телефонному режимі (тел. [")
                              .arg(placed)
                              .arg(cars)
                          + context_.settings.TELEFON_FIRMA + QStringLiteral("]) !"));
}

void TForm_KodovaneZamov::resetNewOrderPanel()
{
    Address.Reset();
    Options.Reset();
    IWCheckBox7.checked = false;
    IWCheckBox1.enabled = IWImageButton8.enabled = true;
    IWLabel39.caption = zeroTripFare();
    IWImageButton8.visible =
        context_.settings.DOZVIL_POCHATK_ROZR_SUMA && TIWUserSession::Current().CalcAttemptsLeft >= 1;
    IWLabel55.caption = QStringLiteral("0");
    IWEdit2.text = QStringLiteral("1");
    IWEdit2.enabled = true;
}
