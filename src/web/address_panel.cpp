#include "web/address_panel.h"

#include "common/typed_text.h"

#include "common/extract_between.h"
#include "common/service_lock.h"
#include "data/like_pattern.h"
#include "shell/service_context.h"

namespace {

const QString kNoSelection = QStringLiteral("-- No Selection --");

// The first column of every row of `query`, then the query closed.
QStringList firstColumn(fb::Query &query, int column = 0)
{
    QStringList texts;
    for (query.first(); !query.eof(); query.next())
        texts << query.field(column).asText();
    query.close();
    return texts;
}

}  // namespace

AddressPanel::AddressPanel(ServiceContext &context, Controls controls) : context_(context), c_(controls)
{
    // Roles for the pages' style: each page names the controls its own way.
    c_.search.cssClass = QStringLiteral("kv-ap-search");
    c_.find.cssClass = QStringLiteral("kv-ap-find");
    c_.category.cssClass = QStringLiteral("kv-ap-category");
    c_.list.cssClass = QStringLiteral("kv-ap-list");
    c_.houses.cssClass = QStringLiteral("kv-ap-houses");
    c_.freeHouse.cssClass = QStringLiteral("kv-ap-free-house");
    c_.flat.cssClass = QStringLiteral("kv-ap-flat");
    c_.directionsLabel.cssClass = QStringLiteral("kv-ap-directions-label");
    c_.directions.cssClass = QStringLiteral("kv-ap-directions");
    c_.search.maxLength = 100;
    c_.search.enterClicks = c_.find.name();
    c_.find.imageUrl = QStringLiteral("/files/find.bmp");
    c_.find.hint = QStringLiteral("Пошук вулиць і обєктів");
    // The panel changes in place: no reload, the list keeps its scroll position.
    c_.find.onAsyncClick = [this] { Search(); };
    c_.category.onAsyncClick = [this] { CategoryChange(); };
    c_.list.onAsyncClick = [this] { ListClick(); };
    c_.list.rows = 8;
    c_.list.accessibleName = QStringLiteral("Знайдені вулиці і обєкти");
    c_.houseLabel.caption = QStringLiteral("Будинок");
    // One label stands for the house list and the house field, whichever shows.
    c_.houses.accessibleName = c_.freeHouse.accessibleName = c_.houseLabel.caption;
    c_.freeHouse.maxLength = 20;
    c_.flatLabel.caption = QStringLiteral("Квартира / підїзд");
    c_.flatLabel.forControl = c_.flat.name();
    c_.flat.maxLength = 100;
    c_.directionsLabel.caption = QStringLiteral("Додатково, як підїхати (при потребі)");
    c_.directionsLabel.forControl = c_.directions.name();
    c_.directions.readOnly = false;
    c_.directions.maxLength = 500;
}

bool AddressPanel::IsChoice(const QString &text) { return !text.isEmpty() && text != kNoSelection; }

void AddressPanel::hideHouseControls()
{
    for (WebControl *control : std::initializer_list<WebControl *>{&c_.houseLabel, &c_.flatLabel, &c_.houses,
                                                                   &c_.flat, &c_.freeHouse, &c_.directionsLabel,
                                                                   &c_.directions})
        control->visible = false;
}

void AddressPanel::Reset()
{
    c_.search.text.clear();
    c_.houses.items.clear();
    c_.houses.itemIndex = -1;
    c_.flat.text.clear();
    c_.freeHouse.text.clear();
    c_.directions.text.clear();
    c_.list.items.clear();
    c_.list.itemIndex = -1;
    hideHouseControls();
    ServiceLockGuard lock(ServiceLock());
    c_.category.items = context_.ObjectCategories;
    c_.category.sortItems();
}

void AddressPanel::CategoryChange()
{
    const QString category = c_.category.currentText();
    if (!IsChoice(category))
        return;
    ServiceLockGuard lock(ServiceLock());
    c_.list.items.clear();
    c_.houses.items.clear();
    c_.flat.text.clear();
    TDANI &d = context_.danni;
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT KOORD_KART_MISTA_PIDPIS FROM KARTA_MISTA\n"
                                         "WHERE (KOORD_KART_MISTA_PIDPIS IS NOT NULL) and (KOORD_KART_MISTA_STATUS = ?)\n"
                                         "GROUP BY KOORD_KART_MISTA_PIDPIS"),
                          {category});
    c_.list.items = firstColumn(d.RIZNE);
    c_.list.sortItems();
}

void AddressPanel::Search()
{
    const QString text = c_.search.text;
    if (text.isEmpty())
        return;
    const QString pattern = LikeLiteral(text);
    const QString escape = QString::fromLatin1(kLikeEscape);
    ServiceLockGuard lock(ServiceLock());
    TDANI &d = context_.danni;
    c_.list.items.clear();
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT SPISOK_VUL_VULICA FROM VULICA_LUCK\n"
                                         "WHERE (SPISOK_VUL_VULICA LIKE '%' || ? || '%'%1)\n"
                                         "GROUP BY SPISOK_VUL_VULICA")
                              .arg(escape),
                          {pattern});
    c_.list.items = firstColumn(d.RIZNE);
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT KOORD_KART_MISTA_STATUS, KOORD_KART_MISTA_PIDPIS FROM KARTA_MISTA\n"
                                         "WHERE (KOORD_KART_MISTA_PUKT_1<>0) AND (KOORD_KART_MISTA_PIDPIS LIKE '%' || ? || '%'%1)\n"
                                         "ORDER BY KOORD_KART_MISTA_PIDPIS")
                              .arg(escape),
                          {pattern});
    for (const QString &caption : firstColumn(d.RIZNE, 1))
        if (!caption.isEmpty())
            c_.list.items << caption;
    c_.list.sortItems();
}

void AddressPanel::ListClick()
{
    const QString item = c_.list.currentText();
    if (!IsChoice(item))
        return;
    ServiceLockGuard lock(ServiceLock());
    TDANI &d = context_.danni;
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT KOORD_KART_MISTA_STATUS, KOORD_KART_MISTA_PIDPIS, KOORD_KART_MISTA_NP  "
                                         "FROM  KARTA_MISTA\n"
                                         "WHERE (KOORD_KART_MISTA_PIDPIS = ?)"),
                          {item});
    const bool object = !d.RIZNE.isEmpty();
    d.RIZNE.close();
    if (object) {
        if (c_.houseLabel.visible)
            hideHouseControls();
        return;
    }
    c_.houses.items.clear();
    c_.flat.text.clear();
    c_.freeHouse.text.clear();
    c_.directions.text.clear();
    TDANI::SelectReadOnly(d.RIZNE,
                          QStringLiteral("SELECT KOORD_KART_MISTA_PIDPIS FROM KARTA_MISTA\n"
                                         "WHERE (KOORD_KART_MISTA_PIDPIS LIKE '%' || ? || '%'%1)")
                              .arg(QString::fromLatin1(kLikeEscape)),
                          {LikeLiteral(u'[' + item + u']')});
    const QStringList captions = firstColumn(d.RIZNE);
    for (const QString &caption : captions) {
        const QString house = ExtractBetween(caption, QStringLiteral("{"), QStringLiteral("}"));
        if (!house.isEmpty())
            c_.houses.items << house;
    }
    c_.houses.sortItems(WebComboBox::Order::Numbered);
    if (c_.houseLabel.visible)
        return;  // a second street keeps the house control the first one showed
    c_.houseLabel.visible = c_.flatLabel.visible = true;
    c_.houses.visible = !captions.isEmpty();
    c_.freeHouse.visible = captions.isEmpty();
    c_.flat.visible = c_.directionsLabel.visible = c_.directions.visible = true;
}

QString AddressPanel::BuildAddressText() const
{
    QString house;
    if (c_.houses.visible)
        house = c_.houses.currentText();
    else if (c_.freeHouse.visible)
        house = WithoutSquareBrackets(c_.freeHouse.text);
    else
        return c_.list.currentText();
    // Only the street's own brackets stay square: typed ones could look like order pieces.
    QString text = u'[' + c_.list.currentText() + QStringLiteral("]{") + house + u'}' + WithoutSquareBrackets(c_.flat.text);
    if (!c_.directions.text.isEmpty())
        text += u' ' + WithoutSquareBrackets(c_.directions.text);
    return text;
}

bool AddressPanel::NoPlaceChosen() const { return !IsChoice(c_.list.currentText()); }

bool AddressPanel::NoHouseGiven() const
{
    return (c_.houses.visible && !IsChoice(c_.houses.currentText())) || (c_.freeHouse.visible && c_.freeHouse.text.isEmpty());
}
