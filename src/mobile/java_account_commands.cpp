#include "mobile/java_account_commands.h"

#include "common/log_text.h"

#include "common/format_number5.h"
#include "common/regional_format.h"
#include "common/text64.h"
#include "common/win1251.h"
#include "data/client_lookup.h"
#include "data/lookup_text.h"
#include "data/order_texts.h"
#include "data/row_number.h"
#include "mobile/java_activ_rows.h"
#include "mobile/java_client_table.h"
#include "mobile/java_framing.h"
#include "shell/service_context.h"

#include <stdexcept>

namespace {

constexpr int kDefaultCodedMinutes = 30;
constexpr int kDefaultUncodedMinutes = 10;

// The client's code as a number, as the dispatchers' client record carries it ("[00220]").
// A code that is no whole number ends the request.
qint64 codeNumber(const QString &code)
{
    bool ok = false;
    const qint64 number = code.trimmed().toLongLong(&ok);
    if (!ok)
        throw std::runtime_error("client code is not a whole number");
    return number;
}

QByteArray plain(const QString &text) { return win1251::fromUnicode(text); }

}  // namespace

QByteArray LoginAnswer(ServiceContext &context, TTableJavaClient &slot, const QString &address,
                       const QByteArray &request, const QDateTime &now)
{
    const QString rawCode = win1251::toUnicode(JavaField(request, "<CodClient>", "</CodClient>"));
    const QString code = win1251::toUnicode(TrimJavaField(JavaField(request, "<CodClient>", "</CodClient>")));
    const QString password = win1251::toUnicode(TrimJavaField(JavaField(request, "<CodPass>", "</CodPass>")));
    const QString stamp = u'[' + RegionalFormat::dateTimeText(now);
    TDANI &d = context.danni;

    // Past the limits the answer no longer depends on the password: nothing is checked.
    const auto limitAnswer = [] {
        return "<OtvetOpenFormCodZam>"
            + JavaErrorElement(QStringLiteral("[У вас перевищений ліміт вводу даних клієнта (підбір кода і пароля) !]"))
            + "<status>NO</status></OtvetOpenFormCodZam>";
    };
    ++slot.CountInput;
    if (slot.CountInput > 5) {
        context.budgets.logCoalesced(ClientChannel::Mobile, QStringLiteral("login limit"), address,
                                     QStringLiteral("] перевиження ліміту входу клієнта з IP : ") + address);
        return limitAnswer();
    }
    if (context.budgets.loginRefused(ClientChannel::Mobile, address))
        return limitAnswer();

    QStringList errors;

    // A code or password longer than its column belongs to no account.
    const ColumnWidths &accounts = d.ServiceColumns(QStringLiteral("TABLE_KLIENT"));
    const bool mayExist = FitsColumn(accounts, QStringLiteral("TABLE_KLIENT_KOD"), code)
        && FitsColumn(accounts, QStringLiteral("TABLE_KLIENT_PASS"), password);
    if (mayExist)
        TDANI::SelectReadOnly(d.GPRS_RIZNE,
                              QStringLiteral("SELECT * FROM TABLE_KLIENT\n"
                                             "WHERE (TABLE_KLIENT_KOD = ?) and (TABLE_KLIENT_PASS = ?)"),
                              {code, password});
    if (mayExist && d.GPRS_RIZNE.recordCount() == 1) {
        d.GPRS_RIZNE.first();
        if (d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_BAN")).asText() == QStringLiteral("+")) {
            errors << QStringLiteral("[Ви немаєте можливості увійти в систему web сервіса, так як ви заблоковані до [")
                    + d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_DATBAN")).asText() + u' '
                    + d.GPRS_RIZNE.field(QStringLiteral("TABLE_KLIENT_TIMEBAN")).asText() + QStringLiteral("] ]");
            context.mobileLog.append(stamp + QStringLiteral("] спроба входа блокованого клієнта з кодом [") + LogValue(code)
                                     + QStringLiteral("]. IP : ") + address);
        }
    } else {
        errors << QStringLiteral("[Ви не зареєстровані у web системі і/або ваша заявка ще не оброблена модератором у "
                                 "випадку попередньої подачи заявки !]");
        context.budgets.loginFailed(address, code);
    }
    d.GPRS_RIZNE.close();

    QString fio;
    QString birthday;
    if (errors.isEmpty()) {
        const qint64 number = codeNumber(code);
        if (const std::optional<ClientRecord> client = FindClient(d, number)) {
            fio = client->fio;
            birthday = client->birthday;
        }
        if (fio.isEmpty())
            errors << QStringLiteral("[Код клієнта ") + FormatNumber5(number) + QStringLiteral(" не знайдено !]");
    }

    if (!errors.isEmpty())
        return "<OtvetOpenFormCodZam>" + JavaErrorElement(JoinJavaErrors(errors)) + "<status>NO</status>"
            + "</OtvetOpenFormCodZam>";

    slot.CodClient = rawCode;
    slot.TimeVihid =
        now.addSecs(qint64(context.numbers.read("DOSTUP_JAVA/MAX_CHAS_KODOVANOGO_ZEDN", context.settings.JAVA_MAX_CHAS_KODOVANOGO_ZEDN,
                                      kDefaultCodedMinutes)) * 60);
    slot.CountInput = 0;
    slot.Coded = true;
    slot.StatusZam.clear();
    slot.NumZam = 0;
    slot.FIO = fio;
    slot.CountActiveZam = 0;
    UpdateJavaActivEnd(d, address, slot.TimeVihid);
    context.accounts.addCodedEntry();

    QByteArray answer = "<OtvetOpenFormCodZam><status>OK</status>";
    if (context.settings.POZDOROVLENNYA_Z_DNEM_NAROD && !birthday.isEmpty()) {
        const QDate born = RegionalFormat::parseDate(birthday);
        if (!born.isValid())
            answer += "<d.n.></d.n.>";
        else if (born.day() == now.date().day() && born.month() == now.date().month())
            answer += JavaElement("d.n.", EncodeText64(context.settings.DAY_NARODZHENYA));
    }
    answer += "</OtvetOpenFormCodZam>";
    context.mobileLog.append(stamp + QStringLiteral("] Вхід на сторінку кодованого замовлення клієнта з IP:[") + address
                             + QStringLiteral("] і заданим кодом клієнта [") + LogValue(code) + u']');
    return answer;
}

QString BuildClientStatus(ServiceContext &context, TTableJavaClient &slot)
{
    TDANI &d = context.danni;
    const QString code = slot.CodClient;

    QString callsign = QStringLiteral("0"), number = QStringLiteral("0"), sum = QStringLiteral("0");
    QString pickup, destination, created, started, car, tariff;
    if (slot.NumZam != 0) {
        TDANI::SelectReadOnly(d.RIZNE,
                              QStringLiteral("SELECT * FROM ZAMOVLENNIA\n"
                                             "WHERE (ZAMOVL_NUMBER = ?) and (ZAMOVL_NOMER_KLIENT = ?) and "
                                             "(ZAMOVL_STATUS_ZAMOVL = 0)"),
                              {slot.NumZam, code});
        if (!d.RIZNE.isEmpty()) {
            d.RIZNE.first();
            const auto text = [&](const char *name) { return d.RIZNE.field(QString::fromLatin1(name)).asText(); };
            number = QString::number(slot.NumZam);
            callsign = CallsignNumber(text("ZAMOVL_POZIVNIY"));
            pickup = text("ZAMOVL_POCHAT_PUNKT");
            destination = text("ZAMOVL_PUNKT_PRIZHACH");
            created = text("ZAMOVL_DATA_PRIYOMA") + u' ' + text("ZAMOVL_CHAS_PRIYOMA");
            started = text("ZAMOVL_CHAS_PRIYOM_VODIY");
            sum = text("ZAMOVL_SUMA_ROZRAHUNK");
            tariff = OrderTariff(text("ZAMOVL_PRICHINA_DELETE"));
        }
        d.RIZNE.close();
        if (callsign != QStringLiteral("0")) {
            TDANI::SelectReadOnly(d.RIZNE,
                                  QStringLiteral("SELECT TABL_AVTO_POZIVN, TABL_AVTO_NOMERAVTO, TABL_AVTO_KOLIR, "
                                                 "TABL_AVTO_MODEL  FROM DANI_AVTO\n"
                                                 "WHERE (TABL_AVTO_POZIVN = ?)"),
                                  {callsign});
            if (!d.RIZNE.isEmpty()) {
                d.RIZNE.last();
                car = QStringLiteral(" авто:[ поз.") + d.RIZNE.field(0).asText() + QStringLiteral(" / ")
                    + d.RIZNE.field(1).asText() + QStringLiteral(" / ") + d.RIZNE.field(2).asText()
                    + QStringLiteral(" / ") + d.RIZNE.field(3).asText() + u']';
            }
            d.RIZNE.close();
        }
    }

    const QString active = TDANI::ScalarTextReadOnly(d.RIZNE,
                                                     QStringLiteral("SELECT COUNT(ZAMOVL_NUMBER) FROM ZAMOVLENNIA\n"
                                                                    "WHERE (ZAMOVL_NOMER_KLIENT = ?) and "
                                                                    "(ZAMOVL_STATUS_ZAMOVL = 0)"),
                                                     {code});

    QString free = QStringLiteral("0"), trips = QStringLiteral("0");
    if (const std::optional<ClientRecord> client = FindClient(d, codeNumber(code))) {
        free = client->kilFreeViklik;
        trips = client->kilViklik;
    }

    QString message;
    TDANI::SelectReadOnly(d.GPRS_RIZNE,
                          QStringLiteral("SELECT TABLE_KLIENT_POVID FROM TABLE_KLIENT\nWHERE (TABLE_KLIENT_KOD = ?)"),
                          {code});
    if (!d.GPRS_RIZNE.isEmpty()) {
        d.GPRS_RIZNE.last();
        message = d.GPRS_RIZNE.field(0).asText();
    }
    d.GPRS_RIZNE.close();

    const QByteArray block = JavaElement("CountActiveZam", plain(active)) + JavaElement("ActivPoz", plain(callsign))
        + JavaElement("NumZam", plain(number)) + JavaElement("Punct1", EncodeText64(pickup))
        + JavaElement("Punct2", EncodeText64(destination)) + JavaElement("DataTimeZamCreate", plain(created))
        + JavaElement("DataTimeZamZapusk", plain(started)) + JavaElement("Pozivn", plain(callsign))
        + JavaElement("DaniAuto", EncodeText64(car)) + JavaElement("TarifZam", EncodeText64(tariff))
        + JavaElement("SumaZam", plain(sum)) + JavaElement("FIO", EncodeText64(slot.FIO))
        + JavaElement("CountYuvel", plain(free)) + JavaElement("Count_do_Yuvel", plain(trips))
        + JavaElement("VhidMsg", EncodeText64(message));

    bool isNumber = false;
    const int count = active.trimmed().toInt(&isNumber);
    slot.CountActiveZam = isNumber ? count : 0;
    slot.StatusZam = QString::fromLatin1(block);
    return slot.StatusZam;
}

void Logout(ServiceContext &context, TTableJavaClient &slot, const QString &address, const QDateTime &now)
{
    slot.StatusZam.clear();
    slot.CodClient = QStringLiteral("0");
    slot.TimeVihid =
        now.addSecs(qint64(context.numbers.read("DOSTUP_JAVA/MAX_CHAS_NEKODOVANOGO_ZEDN", context.settings.JAVA_MAX_CHAS_NEKODOVANOGO_ZEDN,
                                      kDefaultUncodedMinutes)) * 60);
    slot.CountInput = 0;
    slot.Coded = false;
    slot.NumZam = 0;
    slot.FIO.clear();
    slot.CountActiveZam = 0;
    UpdateJavaActivEnd(context.danni, address, slot.TimeVihid);
}

void ClearPersonalMessage(ServiceContext &context, const TTableJavaClient &slot)
{
    TDANI &d = context.danni;
    TDANI::Execute(d.GPRS_RIZNE,
                   QStringLiteral("UPDATE TABLE_KLIENT\nSET TABLE_KLIENT_POVID = NULL\nWHERE (TABLE_KLIENT_KOD = ?)"),
                   {slot.CodClient});
    if (d.GPRS_TABL_KLIENT.isOpen())
        d.RefreshGrid(TDANI::Grid::Klient);
}

void SendMessageToService(ServiceContext &context, const TTableJavaClient &slot, const QByteArray &request,
                          const QDateTime &now)
{
    const QString message = DecodeText64(JavaField(request, "<SendMsgFormCodZam>", "</SendMsgFormCodZam>"));
    // The request has no answer: past the address's budget the message is only logged away.
    if (message.isEmpty() || context.budgets.complaintRefused(ClientChannel::Mobile, slot.IP))
        return;
    QString text = QStringLiteral("Призначено для : [---]\rДати відповідь : [---]\r\r") + message;
    text.replace(u'\'', u'^');
    TDANI &d = context.danni;
    TDANI::Execute(d.GPRS_RIZNE,
                   QStringLiteral("INSERT INTO TABLE_SKARGA\n"
                                  "(TABLE_SKARGA_NP, TABLE_SKARGA_VIDPOV, TABLE_SKARGA_DATA, TABLE_SKARGA_TIME, "
                                  "TABLE_SKARGA_KOD, TABLE_SKARGA_TEXT)\n"
                                  "VALUES (%1, \n"
                                  "     '-', \n     ?, \n     ?, \n     ?, \n     ?) ")
                       .arg(NextRowNumber(QStringLiteral("TABLE_SKARGA"), QStringLiteral("TABLE_SKARGA_NP"))),
                   {now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()),
                    slot.CodClient.left(10), text.left(500)});
    context.budgets.complaintSent(slot.IP);
    d.RefreshGrid(TDANI::Grid::Skarga);
}
