// korvantis-demo-accounts: gives the demo two web accounts, so that the coded order
// page can be tried at once, and one advert for the main page. Run it in the demo folder
// before the program starts (the embedded engine lets one process at a time open the
// service database):
//
//   korvantis-demo-accounts SERVICE_DATABASE
//
// Makes the service database when it is missing (as the program's first start would),
// adds each account and the advert that are not there yet, and prints the code and
// password of both accounts, as they stand in the database (the operator may have changed
// them since).

#include "data/fb.h"
#include "data/service_schema.h"

#include <QDate>
#include <QFile>
#include <QString>

#include <cstdio>
#include <optional>

namespace {

// Clients of the demo city, with their codes as the pages ask for them (five digits, as
// they stand in the dispatchers' KLIENT).
struct DemoAccount {
    const char *code;
    const char *password;
    const char *telephone;
};
constexpr DemoAccount kAccounts[] = {{"00101", "olena101", "0501234567"}, {"00102", "andrii102", "0671112233"}};

// The advert of the demo: its picture is a file of the demo's Files/ (scripts/demo draws it).
const char *const kAdvertName = "Кав'ярня «Демо»";
const char *const kAdvertPicture = "demo_advert.png";
const char *const kAdvertText = "Кав'ярня «Демо» біля вокзалу: кава з собою для пасажирів таксі. Реклама вигадана, як і "
                                "все місто.";

// The password of the account with `code`; nullopt when there is no such account.
std::optional<QString> passwordOf(fb::Transaction &transaction, const QString &code)
{
    fb::Query query(transaction);
    query.open(QStringLiteral("SELECT TABLE_KLIENT_PASS FROM TABLE_KLIENT WHERE TABLE_KLIENT_KOD = ?"), {code});
    if (query.isEmpty())
        return std::nullopt;
    return query.field(QStringLiteral("TABLE_KLIENT_PASS")).asText();
}

void addAccount(fb::Transaction &transaction, const DemoAccount &account)
{
    fb::Query query(transaction);
    query.execute(QStringLiteral("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, "
                                 "TABLE_KLIENT_TELEF, TABLE_KLIENT_BAN) "
                                 "SELECT COALESCE(MAX(TABLE_KLIENT_NP), 0) + 1, ?, ?, ?, '-' FROM TABLE_KLIENT"),
                  {QString::fromLatin1(account.code), QString::fromLatin1(account.password),
                   QString::fromLatin1(account.telephone)});
}

// Shown from today for a year, while advert processing is on.
void addAdvertUnlessThere(fb::Transaction &transaction)
{
    const QString name = QString::fromUtf8(kAdvertName);
    fb::Query query(transaction);
    query.open(QStringLiteral("SELECT TABLE_REK_NP FROM TABLE_REKLAMA WHERE TABLE_REK_NAME = ?"), {name});
    if (!query.isEmpty())
        return;
    fb::Query insert(transaction);
    insert.execute(QStringLiteral("INSERT INTO TABLE_REKLAMA (TABLE_REK_NP, TABLE_REK_ACTIV, TABLE_REK_NAME, "
                                  "TABLE_REK_DATE, TABLE_REK_RIS, TABLE_REK_SAIT, TABLE_REK_TEXT) "
                                  "SELECT COALESCE(MAX(TABLE_REK_NP), 0) + 1, '+', ?, ?, ?, '', ? FROM TABLE_REKLAMA"),
                   {name, QDate::currentDate().addYears(1), QString::fromLatin1(kAdvertPicture),
                    QString::fromUtf8(kAdvertText)});
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: korvantis-demo-accounts SERVICE_DATABASE\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    // The embedded engine does not check the login.
    const DatabaseLogin login{QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
    int status = 0;
    try {
        if (!QFile::exists(path)) {
            try {
                CreateServiceDatabase(path, login, [](const QStringList &) {});
            } catch (const fb::Error &) {
                QFile::remove(path);
                throw;
            }
        }
        fb::Attachment base;
        base.open({path, login.user, login.password});
        fb::Transaction transaction(base);
        for (const DemoAccount &account : kAccounts) {
            const QString code = QString::fromLatin1(account.code);
            std::optional<QString> password = passwordOf(transaction, code);
            if (!password) {
                addAccount(transaction, account);
                password = QString::fromLatin1(account.password);
            }
            std::printf("  code %s, password %s\n", account.code, password->toUtf8().constData());
        }
        addAdvertUnlessThere(transaction);
        transaction.commit();
    } catch (const fb::Error &error) {
        std::fprintf(stderr, "korvantis-demo-accounts: %s\n", error.text().toUtf8().constData());
        status = 1;
    }
    fb::ShutdownClient();
    return status;
}
