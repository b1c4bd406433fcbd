#include "data/client_list.h"

#include <algorithm>

namespace {

bool hasCasedLetter(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter() && c.toUpper() != c.toLower(); });
}

quint64 trigram(QStringView text, qsizetype at)
{
    return quint64(text[at].unicode()) << 32 | quint64(text[at + 1].unicode()) << 16 | text[at + 2].unicode();
}

// Adds `row` to a posting list unless it is already its last entry.
void post(std::vector<int> &list, int row)
{
    if (list.empty() || list.back() != row)
        list.push_back(row);
}

}  // namespace

ClientList::ClientList(std::vector<ClientRecord> rows) : rows_(std::move(rows))
{
    for (int row = 0; row < int(rows_.size()); ++row) {
        const ClientRecord &record = rows_[size_t(row)];
        if (record.hasDodatkovo) {
            // A piece "[...]" without "]" inside starts at some "[" and ends at the first
            // "]" after it: these are all the pieces a look-up can ask for.
            const QString &text = record.dodatkovo;
            for (qsizetype open = text.indexOf(u'['); open >= 0; open = text.indexOf(u'[', open + 1)) {
                const qsizetype close = text.indexOf(u']', open + 1);
                if (close < 0)
                    break;
                post(pieces_[text.mid(open, close - open + 1)], row);
            }
        }
        if (record.hasTelefon)
            for (qsizetype at = 0; at + 3 <= record.telefon.size(); ++at)
                post(trigrams_[trigram(record.telefon, at)], row);
    }
}

std::optional<std::vector<int>> ClientList::withPiece(const QString &piece) const
{
    if (piece.size() < 2 || !piece.startsWith(u'[') || !piece.endsWith(u']'))
        return std::nullopt;
    const QStringView inner = QStringView(piece).mid(1, piece.size() - 2);
    if (inner.contains(u']') || hasCasedLetter(inner))
        return std::nullopt;
    return pieces_.value(piece);
}

std::optional<int> ClientList::countWithTelephone(const QString &telephone, const QString &piece) const
{
    if (hasCasedLetter(telephone))
        return std::nullopt;
    const auto holds = [&](int row) {
        const ClientRecord &record = rows_[size_t(row)];
        return record.hasTelefon && record.telefon.contains(telephone);
    };
    if (!piece.isEmpty()) {
        const std::optional<std::vector<int>> rows = withPiece(piece);
        if (!rows)
            return std::nullopt;
        return int(std::count_if(rows->begin(), rows->end(), holds));
    }
    if (telephone.size() < 3) {
        int count = 0;
        for (int row = 0; row < int(rows_.size()); ++row)
            count += holds(row) ? 1 : 0;
        return count;
    }
    // Only rows holding every three characters of the telephone can hold it: the rarest
    // three give the fewest rows to look at.
    const std::vector<int> *fewest = nullptr;
    for (qsizetype at = 0; at + 3 <= telephone.size(); ++at) {
        const auto found = trigrams_.find(trigram(telephone, at));
        if (found == trigrams_.end())
            return 0;
        if (!fewest || found->second.size() < fewest->size())
            fewest = &found->second;
    }
    return int(std::count_if(fewest->begin(), fewest->end(), holds));
}
