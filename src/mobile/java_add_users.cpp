#include "mobile/java_add_users.h"

#include "common/log_text.h"

#include "common/regional_format.h"
#include "common/text64.h"
#include "common/win1251.h"
#include "data/client_lookup.h"
#include "data/lookup_text.h"
#include "data/row_number.h"
#include "mobile/java_framing.h"
#include "shell/service_context.h"

namespace {

const QString kRefused = QStringLiteral(
    "[Заявка на реєстрацію не пройшла, у вас є можливість тільки створення замовлення на панелі ШВИДКЕ "
    "ЗАМОВЛЕННЯ, або пройти реєстрацію повторно]");
const QString kTooManyApplications =
    QStringLiteral("<З вашої адреси подано забагато заявок, повторіть спробу пізніше>");

bool found(fb::Query &query, const QString &sql, const QString &value)
{
    TDANI::Select(query, sql, {value});
    const bool any = !query.isEmpty();
    query.close();
    return any;
}

QString submitted(const QString &code, const QString &password, const QString &phone)
{
    return QStringLiteral("<код клієнта : ") + LogValue(code) + QStringLiteral(">/<заданий пароль : ")
        + LogValue(password) + QStringLiteral(">/<конт. телефон.: ") + LogValue(phone) + u'>';
}

}  // namespace

QByteArray AddUsersAnswer(ServiceContext &context, const QString &address, const QByteArray &request,
                          const QDateTime &now)
{
    const QByteArray codeBytes = JavaField(request, "<CodClient>", "</CodClient>");
    const QByteArray passwordBytes = JavaField(request, "<CodPass>", "</CodPass>");
    const QString code = win1251::toUnicode(codeBytes);
    const QString password = win1251::toUnicode(passwordBytes);
    const QString phone = DecodeText64(JavaField(request, "<NumPhone>", "</NumPhone>"));
    const QString note = DecodeText64(JavaField(request, "<Primitka>", "</Primitka>"));
    const QString stamp = u'[' + RegionalFormat::dateTimeText(now);

    QStringList errors;
    // One address filing applications for every code would shut their owners out.
    if (context.budgets.applicationRefused(ClientChannel::Mobile, address))
        return "<OtvetAddUsers>" + JavaErrorElement(kTooManyApplications + kRefused) + "</OtvetAddUsers>";
    if (TrimJavaField(codeBytes).isEmpty())
        errors << QStringLiteral("<Не задано код клієнта>");
    if (TrimJavaField(passwordBytes).isEmpty())
        errors << QStringLiteral("<Не задано ваш пароль>");
    if (TrimJavaField(win1251::fromUnicode(phone)).isEmpty())
        errors << QStringLiteral("<Не задано телефонний номер>");
    else if (phone.size() < 5)
        errors << QStringLiteral("<Телефонний номер закороткий, повинно бути >=5 символів>");

    TDANI &d = context.danni;
    if (errors.isEmpty()) {
        if (!AnyClientWithPiece(d, u'[' + code + u']'))
            errors << QStringLiteral("<Вказаний код не існує у базі диспетчерської служби>");
        // A code longer than the code columns is in neither table.
        if (FitsColumn(d.ServiceColumns(QStringLiteral("TABLE_KLIENT")), QStringLiteral("TABLE_KLIENT_KOD"), code)
            && found(d.GPRS_RIZNE,
                     QStringLiteral("SELECT TABLE_KLIENT_NP FROM TABLE_KLIENT\nWHERE (TABLE_KLIENT_KOD = ?)"), code))
            errors << QStringLiteral("<Вказаний код був вже попередньо створений у системі web сервіса>");
        if (FitsColumn(d.ServiceColumns(QStringLiteral("TABLE_ZAYAVKA")), QStringLiteral("TABLE_ZAYAVKA_KOD"), code)
            && found(d.GPRS_RIZNE,
                     QStringLiteral("SELECT TABLE_ZAYAVKA_NP FROM TABLE_ZAYAVKA\nWHERE (TABLE_ZAYAVKA_KOD = ?)"), code))
            errors << QStringLiteral(
                "<На вказаний код існує заявка, зачекайте закінчення обробки заявки модератором>");
    }

    QString errorText = JoinJavaErrors(errors, QStringLiteral("\r/"));
    if (errors.isEmpty()) {
        try {
            TDANI::Execute(d.GPRS_RIZNE,
                           QStringLiteral("INSERT INTO TABLE_ZAYAVKA\n"
                                          "(TABLE_ZAYAVKA_NP, TABLE_ZAYAVKA_DATA, TABLE_ZAYAVKA_KOD, "
                                          "TABLE_ZAYAVKA_PASS, TABLE_ZAYAVKA_TELEF, TABLE_ZAYAVKA_PRIM)\n"
                                          "VALUES (%1, \n"
                                          "       ?, \n       ?, \n       ?, \n       ?, \n       ?) ")
                               .arg(NextRowNumber(QStringLiteral("TABLE_ZAYAVKA"), QStringLiteral("TABLE_ZAYAVKA_NP"))),
                           {now.date(), code.left(10), password.left(10), phone.left(30), note.left(500)});
            context.budgets.applicationFiled(address);
            d.RefreshGrid(TDANI::Grid::Zayavki);
            context.mobileLog.append(stamp + QStringLiteral("] успішна подача заявки на кодований вхід у java сервіс. "
                                                            "Подані дані : ")
                                     + submitted(code, password, phone));
        } catch (const fb::Error &) {
            context.mobileLog.append(stamp + QStringLiteral("] помилка під час створення заявки на вхід у java "
                                                            "сервіс. Дані для подання : ")
                                     + submitted(code, password, phone) + QStringLiteral("  IP : ") + address);
            errorText = QStringLiteral(
                "Помилка під час створення заявки. Після виправлення помилок повторіть спробу !");
        }
    }

    if (errorText.isEmpty()) {
        context.mobileLog.append(stamp + QStringLiteral("] Клієнт з IP:[") + address
                                 + QStringLiteral("] успішно подав заявку на реєстрацію в сервісі."));
        return "<OtvetAddUsers>" + JavaErrorElement({}) + "</OtvetAddUsers>";
    }
    const QString rule(33, u'-');
    context.mobileLog.append({stamp + QStringLiteral("] Під час реєстрації клієнта з IP:[") + address
                                  + QStringLiteral("] в системі java виникла помилка :"),
                              rule, errorText, rule});
    return "<OtvetAddUsers>" + JavaErrorElement(errorText + kRefused) + "</OtvetAddUsers>";
}
