#pragma once

#include <QHash>
#include <QString>

#include <optional>
#include <unordered_map>
#include <vector>

// What the service reads of one row of the dispatchers' KLIENT, each column as "field as
// text" gives it.
struct ClientRecord {
    QString dodatkovo, fio, telefon, balans, znizhka, kilViklik, kilFreeViklik, birthday;
    bool hasDodatkovo = false;  // a NULL column matches no LIKE
    bool hasTelefon = false;

    bool operator==(const ClientRecord &) const = default;
};

// An immutable copy of KLIENT in the table's own order, indexed for the service's two
// look-ups: a code in brackets inside KLIENT_DODATKOVO and a piece of KLIENT_TELEFON.
// Both find exactly the rows that `column LIKE '%' || text || '%'` finds with the text
// matching literally: those holding it as a substring.
class ClientList {
public:
    explicit ClientList(std::vector<ClientRecord> rows);

    const std::vector<ClientRecord> &rows() const { return rows_; }

    // The rows whose KLIENT_DODATKOVO holds `piece`, in table order, for a piece "[" +
    // text + "]" whose text has no "]" and no letters; nullopt for any other piece.
    std::optional<std::vector<int>> withPiece(const QString &piece) const;

    // How many rows hold `telephone` in KLIENT_TELEFON and, when `piece` is not empty,
    // `piece` in KLIENT_DODATKOVO. Nullopt when the telephone has letters (the database's
    // collation may ignore their case) or the piece is not of the form withPiece takes.
    std::optional<int> countWithTelephone(const QString &telephone, const QString &piece = {}) const;

private:
    std::vector<ClientRecord> rows_;
    QHash<QString, std::vector<int>> pieces_;              // every "[...]" of KLIENT_DODATKOVO
    std::unordered_map<quint64, std::vector<int>> trigrams_;  // every three characters of KLIENT_TELEFON
};
