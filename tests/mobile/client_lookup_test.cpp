// The client look-ups of the commands and pages, answered from the in-memory list, and
// from the designed statements for what the list does not hold (yet).

#include "data/client_lookup.h"
#include "mobile_databases.h"

#include <QThread>

#include <gtest/gtest.h>

namespace {

// The demo city's clients, read into memory once: whatever changes afterwards is known
// only to the database.
class ClientLookup : public MobileDatabases {
protected:
    ClientLookup() : MobileDatabases(true) {}

    void SetUp() override
    {
        MobileDatabases::SetUp();
        if (HasFatalFailure())
            return;
        context.danni.clientList.start({folder.dispatchDatabase(), QStringLiteral("SYSDBA"), QStringLiteral("masterkey")},
                                       std::chrono::hours(1), {});
        for (int i = 0; i < 1000 && !context.danni.clientList.current(); ++i)
            QThread::msleep(20);
        ASSERT_TRUE(context.danni.clientList.current());
    }

    void addClient(int number, const QString &extra, const QString &telephone)
    {
        TDANI::Execute(context.danni.RIZNE,
                       QStringLiteral("INSERT INTO KLIENT (KLIENT_NUMBER, KLIENT_DODATKOVO, KLIENT_FIO, KLIENT_TELEFON, "
                                      "KLIENT_KIL_FREE_VIKLIK) VALUES (?, ?, ?, ?, 4)"),
                       {number, extra, QStringLiteral("Доданий %1").arg(number), telephone});
    }
};

TEST_F(ClientLookup, ClientsInTheListAndClientsAddedSinceAreFound)
{
    addClient(900, QStringLiteral("[00900]"), QStringLiteral("0639990000"));
    struct Case {
        qint64 code;
        QString name;
    };
    for (const Case &c : {Case{101, QStringLiteral("Коваленко Олена Петрівна")}, Case{900, QStringLiteral("Доданий 900")},
                          Case{901, QString()}}) {
        const std::optional<ClientRecord> client = FindClient(context.danni, c.code);
        EXPECT_EQ(client ? client->fio : QString(), c.name) << c.code;
        EXPECT_EQ(AnyClientWithPiece(context.danni, QStringLiteral("[%1]").arg(c.code, 5, 10, QChar(u'0'))),
                  !c.name.isEmpty())
            << c.code;
    }
    EXPECT_EQ(FindClient(context.danni, 900)->kilFreeViklik, QStringLiteral("4"));
}

TEST_F(ClientLookup, TelephonesAreCountedLiterallyInTheListAndInTheDatabase)
{
    addClient(900, QStringLiteral("[00900]"), QStringLiteral("0639990000"));
    addClient(901, QStringLiteral("[00901]"), QStringLiteral("06399%0_00"));
    struct Case {
        const char *telephone;
        std::optional<qint64> code;
        int count;
    };
    for (const Case &c : {Case{"0501234567", std::nullopt, 1}, Case{"0501234567", 101, 1}, Case{"0501234567", 102, 0},
                          Case{"0639990000", std::nullopt, 1}, Case{"0639990000", 900, 1}, Case{"99%0_", std::nullopt, 1},
                          Case{"%", std::nullopt, 1}, Case{"_____", std::nullopt, 0}, Case{"0000000000", std::nullopt, 0}}) {
        EXPECT_EQ(CountClientsByTelephone(context.danni, QString::fromLatin1(c.telephone), c.code), c.count)
            << c.telephone;
    }
}

TEST_F(ClientLookup, TypedCodesWithWildcardsMatchLiterally)
{
    addClient(902, QStringLiteral("[a%b_]"), QStringLiteral("0630000000"));
    EXPECT_TRUE(AnyClientWithPiece(context.danni, QStringLiteral("[a%b_]")));
    EXPECT_FALSE(AnyClientWithPiece(context.danni, QStringLiteral("[a%]")));
    EXPECT_FALSE(AnyClientWithPiece(context.danni, QStringLiteral("[_0101]")));
    EXPECT_FALSE(AnyClientWithPiece(context.danni, QStringLiteral("[%]")));
}

}  // namespace
