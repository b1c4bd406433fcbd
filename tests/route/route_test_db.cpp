#include "route_test_db.h"

#include "city_map_generator.h"

#include <QFile>

#include <algorithm>
#include <array>

RouteTestDb::RouteTestDb()
    : folder(false), engine(danni, folder.path(), [this](const QString &rest) { log << rest; }),
      reference(danni, folder.path())
{
    const fb::ConnectParams params{folder.dispatchDatabase(), QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
    danni.BAZA.open(params);
    dispatcher = std::make_unique<fb::Attachment>();
    dispatcher->open(params);
    writeScale(QStringLiteral("1000"), QStringLiteral("100"));
}

RouteTestDb::~RouteTestDb()
{
    danni.TRANZ_RIZNE.commitIfActive();
    danni.TRANZ_FOR_EVENTS.commitIfActive();
}

void RouteTestDb::exec(const QString &sql, const fb::Params &params)
{
    fb::Transaction transaction(*dispatcher);
    fb::Query query(transaction);
    query.execute(sql, params);
    transaction.commit();
}

void RouteTestDb::street(int number, const QString &name)
{
    exec(QStringLiteral("INSERT INTO VULICA_LUCK (SPISOK_VUL_NOMER, SPISOK_VUL_VULICA) VALUES (?, ?)"), {number, name});
}

void RouteTestDb::point(int number, int x, int y, std::initializer_list<int> streets, const QString &caption)
{
    std::array<int, 5> on{};
    std::copy(streets.begin(), streets.end(), on.begin());
    fb::Params params{number, x, y, on[0], on[1], on[2], on[3], on[4]};
    params.push_back(caption.isNull() ? fb::Param(nullptr) : fb::Param(caption));
    exec(QStringLiteral("INSERT INTO KARTA_MISTA (KOORD_KART_MISTA_NP, KOORD_KART_MISTA_X, KOORD_KART_MISTA_Y, "
                        "KOORD_KART_MISTA_PUKT_1, KOORD_KART_MISTA_PUKT_2, KOORD_KART_MISTA_PUKT_3, "
                        "KOORD_KART_MISTA_PUKT_4, KOORD_KART_MISTA_PUKT_5, KOORD_KART_MISTA_PIDPIS) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         params);
}

void RouteTestDb::writeScale(const QString &length, const QString &lengthPoint)
{
    QFile file(folder.filePath(QStringLiteral("SETTING_KART.INI")));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(QStringLiteral("[KARTA_MISTA]\r\nLENGTH=%1\r\nLENGTH_TOCHKA=%2\r\n").arg(length, lengthPoint).toUtf8());
}

void RouteTestDb::clearMap()
{
    kvtest::ClearCity(*dispatcher);
}

void RouteTestDb::loadBoth()
{
    engine.LoadCityMap();
    reference.LoadCityMap();
}
