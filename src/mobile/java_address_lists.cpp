#include "mobile/java_address_lists.h"

#include "common/text64.h"
#include "data/danni.h"
#include "data/lookup_text.h"
#include "mobile/java_framing.h"

namespace {

QStringList firstColumn(fb::Query &query)
{
    QStringList items;
    for (const auto &row : query.rows())
        items << fb::valueText(row.at(0));
    query.close();
    return items;
}

}  // namespace

QByteArray NumberedListAnswer(const char *wrapper, const QStringList &items)
{
    const QByteArray name(wrapper);
    QByteArray answer = '<' + name + '>';
    for (qsizetype k = 1; k <= items.size(); ++k)
        answer += JavaListItem(int(k), items[k - 1]);
    answer += "<cil>" + QByteArray::number(items.size()) + "</cil></" + name + '>';
    return answer;
}

QByteArray StreetListAnswer(TDANI &danni, const QByteArray &request)
{
    const QString search = DecodeText64(JavaField(request, "<ListVul>", "</ListVul>"));
    TDANI::Select(danni.RIZNE,
                  QStringLiteral("SELECT SPISOK_VUL_VULICA FROM VULICA_LUCK\n"
                                 "WHERE (SPISOK_VUL_VULICA is not null) and (SPISOK_VUL_VULICA LIKE '%' || ? || '%'")
                      + QLatin1String(kLikeEscape) + QStringLiteral(")\nGROUP BY SPISOK_VUL_VULICA"),
                  {LikePiece(danni.DispatchColumns(QStringLiteral("VULICA_LUCK")), QStringLiteral("SPISOK_VUL_VULICA"),
                             search)});
    return NumberedListAnswer("VidpovidListVul", firstColumn(danni.RIZNE));
}

QByteArray ObjectListAnswer(TDANI &danni, const QByteArray &request)
{
    const QString search = DecodeText64(JavaField(request, "<ListObekt>", "</ListObekt>"));
    TDANI::Select(danni.RIZNE,
                  QStringLiteral("SELECT KOORD_KART_MISTA_PIDPIS FROM KARTA_MISTA\n"
                                 "WHERE (KOORD_KART_MISTA_PIDPIS IS NOT NULL) and (KOORD_KART_MISTA_PIDPIS LIKE '%' || "
                                 "? || '%'")
                      + QLatin1String(kLikeEscape)
                      + QStringLiteral(")\n and (KOORD_KART_MISTA_PIDPIS NOT LIKE '%' || ']{' || '%')\n"
                                       "GROUP BY KOORD_KART_MISTA_PIDPIS"),
                  {LikePiece(danni.DispatchColumns(QStringLiteral("KARTA_MISTA")),
                             QStringLiteral("KOORD_KART_MISTA_PIDPIS"), search)});
    return NumberedListAnswer("VidpovidListObekt", firstColumn(danni.RIZNE));
}
