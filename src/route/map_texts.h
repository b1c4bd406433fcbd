#pragma once

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The street names and map captions as the route engine looks them up, kept with the
// street graph and refreshed with it. The look-ups answer as the database's statements
// do on WIN1251 text with its binary collation: equality ignores trailing blanks, LIKE
// '%key%' is a plain substring match, and of several matching rows the last in natural
// order counts. A value the database would read differently (a character without a
// Windows-1251 byte, a LIKE wildcard) is not answered here: the caller asks the database.
class MapTexts {
public:
    void addStreet(int number, const QString &name);
    void addCaption(int point, const std::array<int, 5> &streets, const QString &caption);

    static bool answersEquality(const QString &value);
    static bool answersContaining(const QString &key);

    // SELECT SPISOK_VUL_NOMER FROM VULICA_LUCK WHERE SPISOK_VUL_VULICA = name
    std::optional<int> streetNumber(const QString &name) const;
    // ... FROM KARTA_MISTA WHERE KOORD_KART_MISTA_PIDPIS = caption: the point, its streets
    struct Captioned {
        int point = 0;
        std::array<int, 5> streets{};
    };
    std::optional<Captioned> withCaption(const QString &caption) const;
    // ... WHERE KOORD_KART_MISTA_PIDPIS LIKE '%' || key || '%'
    std::optional<int> pointContaining(const QString &key) const;

private:
    static QString padded(const QString &value);

    struct Entry {
        Captioned point;
        QString caption;
    };
    std::vector<Entry> captions_;
    QHash<QString, size_t> lastCaption_;  // trailing blanks removed -> last entry
    QHash<QString, int> lastStreet_;
};
