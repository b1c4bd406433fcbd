#include "data/client_lookup.h"

#include "common/format_number5.h"
#include "data/client_list_reader.h"
#include "data/danni.h"
#include "data/lookup_text.h"

std::optional<ClientRecord> FindClient(TDANI &d, qint64 code)
{
    const QString piece = BracketedNumber5(code);
    if (const std::shared_ptr<const ClientList> list = d.clientList.current()) {
        const std::optional<std::vector<int>> rows = list->withPiece(piece);
        if (rows && !rows->empty())
            return list->rows()[size_t(rows->back())];
    }
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT %1 FROM KLIENT\nWHERE (KLIENT_DODATKOVO LIKE '%' || ? || '%')")
                              .arg(QLatin1String(kClientColumns)),
                          {piece});
    std::optional<ClientRecord> record;
    if (!d.RIZNE.isEmpty())
        record = ClientRecordOf(d.RIZNE.rows().back());
    d.RIZNE.close();
    return record;
}

bool AnyClientWithPiece(TDANI &d, const QString &piece)
{
    if (const std::shared_ptr<const ClientList> list = d.clientList.current()) {
        const std::optional<std::vector<int>> rows = list->withPiece(piece);
        if (rows && !rows->empty())
            return true;
    }
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT KLIENT_NUMBER FROM KLIENT\nWHERE (KLIENT_DODATKOVO LIKE '%' || ? || '%'")
                              + QLatin1String(kLikeEscape) + u')',
                          {LikePiece(d.DispatchColumns(QStringLiteral("KLIENT")), QStringLiteral("KLIENT_DODATKOVO"), piece)});
    const bool found = !d.RIZNE.isEmpty();
    d.RIZNE.close();
    return found;
}

int CountClientsByTelephone(TDANI &d, const QString &telephone, std::optional<qint64> code)
{
    const QString piece = code ? BracketedNumber5(*code) : QString();
    if (const std::shared_ptr<const ClientList> list = d.clientList.current()) {
        const std::optional<int> count = list->countWithTelephone(telephone, piece);
        if (count && *count > 0)
            return *count;
    }
    QString sql = QStringLiteral("SELECT KLIENT_NUMBER FROM KLIENT\nWHERE (KLIENT_TELEFON LIKE '%' || ? || '%'")
        + QLatin1String(kLikeEscape) + u')';
    fb::Params params{LikePiece(d.DispatchColumns(QStringLiteral("KLIENT")), QStringLiteral("KLIENT_TELEFON"), telephone)};
    if (code) {
        sql += QStringLiteral("\n AND (KLIENT_DODATKOVO LIKE '%' || ? || '%')");
        params.emplace_back(piece);
    }
    TDANI::SelectReadOnly(d.RIZNE, sql, params);
    const int count = d.RIZNE.recordCount();
    d.RIZNE.close();
    return count;
}
