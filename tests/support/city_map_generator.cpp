#include "city_map_generator.h"


#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace kvtest {

namespace {

const char *const kBaseNames[] = {
    "Шевченка", "Лесі Українки", "Франка", "Коперника", "Крем'янецька", "Солов'їна",
    "В'ячеслава Чорновола", "Об'їзна", "Дем'янчука", "Лук'янова", "Мар'янівська", "Під'їзна",
    "Грушевського", "Винниченка", "Стрілецька", "Ковельська", "Рівненська", "Володимирська",
    "Дубнівська", "Соборності", "Волі", "Коновальця", "Сагайдачного", "Хмельницького",
    "Карпенка-Карого", "Липинського", "Потебні", "Конякіна", "Гнідавська", "Теремнівська",
    "Зв'язківців", "П'ятницька", "Ярощука", "Словацького", "Кафедральна", "Замкова",
    "Драгоманова", "Данила Галицького", "Кирила і Мефодія", "Перемоги", "Ветеранів", "Молоді",
    "Павлова", "Огієнка", "Мазепи", "Нечуя-Левицького", "Старицького", "Гулака-Артемовського",
    "Кременчуцька", "Ранкова", "Зелена", "Садова", "Вишнева", "Квітнева", "Луцька",
    "Сім'ї Кульженків", "Пам'яті Героїв", "Ков'ярська", "Рильського", "Глібова"};

const char *const kStreetKinds[] = {"", "провулок ", "проспект ", "бульвар ", "узвіз ", "тупик "};

struct ObjectKind {
    const char *category;
    const char *name;
};

const ObjectKind kObjectKinds[] = {
    {"Вокзали", "Автостанція №%1"},     {"Магазини", "Супермаркет «Там Там» №%1"},
    {"Аптеки", "Аптека №%1"},           {"Лікарні", "Міська лікарня №%1"},
    {"Школи", "Школа №%1"},             {"Кафе", "Кав'ярня «Під'їзд» №%1"},
    {"Магазини", "М'ясна лавка №%1"},   {"Готелі", "Готель «Світязь» №%1"},
    {"не задано", "Пам'ятник №%1"}};

constexpr int kSpacing = 60;
constexpr int kOrigin = 1000;

using Node = std::pair<int, int>;  // grid column, grid row

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    int between(int low, int high) { return low + int(engine_() % unsigned(high - low + 1)); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <class T>
    void shuffle(std::vector<T> &items)
    {
        for (size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[size_t(between(0, int(i) - 1))]);
    }

private:
    std::mt19937 engine_;
};

struct Builder {
    const CityOptions &options;
    Random random;
    int grid = 0;
    std::vector<std::vector<Node>> streetNodes;  // per street (index), its nodes in order
    std::vector<int> kinds;                      // 0 grid, 1 zig-zag, 2 village, 3 boulevard/lane

    Builder(const CityOptions &o) : options(o), random(o.seed) {}

    void addStreet(std::vector<Node> nodes, int kind)
    {
        if (nodes.size() >= 2) {
            streetNodes.push_back(std::move(nodes));
            kinds.push_back(kind);
        }
    }

    // Every row and column of the grid cut into streets of 2..9 blocks, some gaps between.
    void gridStreets()
    {
        for (int line = 0; line < grid; ++line) {
            for (int horizontal = 0; horizontal < 2; ++horizontal) {
                int position = random.between(0, 2);
                while (position < grid - 1) {
                    const int length = random.between(2, 9);
                    std::vector<Node> nodes;
                    for (int i = position; i <= std::min(grid - 1, position + length); ++i)
                        nodes.push_back(horizontal ? Node{i, line} : Node{line, i});
                    addStreet(std::move(nodes), 0);
                    position += length + random.between(1, 2);
                }
            }
        }
    }

    // Diagonal through the nodes, turning up and down: it meets some rows twice.
    void zigZag()
    {
        Node node{random.between(0, grid - 1), random.between(0, grid - 1)};
        const int dx = random.chance(50) ? 1 : -1;
        int dy = random.chance(50) ? 1 : -1;
        const int length = random.between(6, 20);
        const int turn = random.between(3, 8);
        std::vector<Node> nodes{node};
        for (int step = 1; step <= length; ++step) {
            if (step % turn == 0)
                dy = -dy;
            node = {node.first + dx, node.second + dy};
            if (node.first < 0 || node.second < 0 || node.first >= grid || node.second >= grid)
                break;
            nodes.push_back(node);
        }
        addStreet(std::move(nodes), 1);
    }

    // A few streets crossing each other far east of the town.
    void village()
    {
        const int left = grid + 40;
        for (int i = 0; i < options.villageStreets; ++i) {
            std::vector<Node> nodes;
            for (int k = 0; k < 4; ++k)
                nodes.push_back(i % 2 == 0 ? Node{left + k, i} : Node{left + i, k});
            addStreet(std::move(nodes), 2);
        }
    }

    // North of the town: the boulevard on row -2, crossed by lanes that run from a
    // collector street on row -4; a connector down column 0 joins them to the town.
    void boulevard()
    {
        const int lanes = options.boulevardLanes;
        std::vector<Node> boulevardNodes, collectorNodes, connectorNodes;
        for (int c = 0; c <= 2 * lanes; ++c) {
            boulevardNodes.push_back({c, -2});
            collectorNodes.push_back({c, -4});
        }
        for (int r = -4; r <= 3; ++r)
            connectorNodes.push_back({0, r});
        addStreet(std::move(boulevardNodes), 3);
        addStreet(std::move(collectorNodes), 3);
        addStreet(std::move(connectorNodes), 3);
        for (int lane = 0; lane < lanes; ++lane)
            addStreet({{2 * lane + 1, -4}, {2 * lane + 1, -3}, {2 * lane + 1, -2}, {2 * lane + 1, -1}}, 3);
    }

    void fitCount()
    {
        while (int(streetNodes.size()) < options.streets)
            zigZag();
        while (int(streetNodes.size()) > options.streets) {
            std::vector<int> droppable;
            for (size_t i = 0; i < kinds.size(); ++i)
                if (kinds[i] < 2)
                    droppable.push_back(int(i));
            if (droppable.empty())
                break;
            const int drop = droppable[size_t(random.between(0, int(droppable.size()) - 1))];
            streetNodes.erase(streetNodes.begin() + drop);
            kinds.erase(kinds.begin() + drop);
        }
    }

    int coordinate(int gridValue, int salt) const
    {
        int value = kOrigin + gridValue * kSpacing;
        if (options.jitter) {
            const unsigned h = unsigned(gridValue * 7919 + salt * 104729 + int(options.seed) * 31);
            value += int((h * 2654435761u) >> 28) - 8;
        }
        return value;
    }
    int nodeX(const Node &n) const { return coordinate(n.first, n.second); }
    int nodeY(const Node &n) const { return coordinate(n.second, n.first + 5000); }
};

QString streetName(int index)
{
    const int bases = int(std::size(kBaseNames));
    const int kinds = int(std::size(kStreetKinds));
    const int base = index % bases;
    const int kind = (index / bases) % kinds;
    const int ordinal = index / (bases * kinds);
    QString name = QString::fromUtf8(kStreetKinds[kind]) + QString::fromUtf8(kBaseNames[base]);
    if (ordinal > 0)
        name = QStringLiteral("%1-й ").arg(ordinal + 1) + name;
    return name;
}

}  // namespace

CityMap GenerateCity(const CityOptions &options)
{
    Builder b(options);
    b.grid = std::max(4, int(std::ceil(std::sqrt(options.streets * 3.2))));
    b.gridStreets();
    for (int i = 0; i < options.streets / 20; ++i)
        b.zigZag();
    b.village();
    if (options.boulevardLanes > 0)
        b.boulevard();
    b.fitCount();

    CityMap city;
    const int count = int(b.streetNodes.size());
    std::vector<int> numbers(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        numbers[size_t(i)] = i + 1;
    b.random.shuffle(numbers);
    std::vector<int> nameIndex(numbers);
    b.random.shuffle(nameIndex);
    for (int i = 0; i < count; ++i) {
        city.streets.push_back({numbers[size_t(i)], streetName(nameIndex[size_t(i)] - 1)});
        if (b.kinds[size_t(i)] == 2)
            city.villageStreetNumbers.push_back(numbers[size_t(i)]);
    }
    for (int i = 0; i < count; ++i)
        if (b.kinds[size_t(i)] == 3) {
            city.boulevard = numbers[size_t(i)];
            break;
        }
    std::sort(city.streets.begin(), city.streets.end(),
              [](const CityStreet &l, const CityStreet &r) { return l.number < r.number; });
    auto nameOf = [&](int number) { return city.streets[size_t(number - 1)].name; };

    // Which streets pass each node, in the order the streets were laid.
    std::map<Node, std::vector<int>> passing;
    for (int i = 0; i < count; ++i)
        for (const Node &node : b.streetNodes[size_t(i)]) {
            auto &list = passing[node];
            if (std::find(list.begin(), list.end(), numbers[size_t(i)]) == list.end())
                list.push_back(numbers[size_t(i)]);
        }

    std::vector<CityPoint> crossings, others;
    std::vector<Node> crossingNodes;
    for (const auto &[node, streets] : passing) {
        CityPoint point;
        point.x = b.nodeX(node);
        point.y = b.nodeY(node);
        for (size_t k = 0; k < streets.size() && k < 5; ++k)
            point.streets[k] = streets[k];
        if (streets.size() >= 2) {
            crossings.push_back(point);
            crossingNodes.push_back(node);
        } else if (b.random.chance(30)) {
            others.push_back(point);  // a bend or a stop: plain point
        }
    }

    // Buildings and plain points along every street, numbered along it.
    for (int i = 0; i < count; ++i) {
        const int number = numbers[size_t(i)];
        const auto &nodes = b.streetNodes[size_t(i)];
        int odd = 1, even = 2;
        for (size_t k = 0; k + 1 < nodes.size(); ++k) {
            const int x0 = b.nodeX(nodes[k]), y0 = b.nodeY(nodes[k]);
            const int x1 = b.nodeX(nodes[k + 1]), y1 = b.nodeY(nodes[k + 1]);
            const int houses = b.random.between(0, 3);
            for (int h = 1; h <= houses; ++h) {
                const bool oddSide = b.random.chance(50);
                const int side = oddSide ? -3 : 3;
                CityPoint house;
                house.x = x0 + (x1 - x0) * h / (houses + 1) + (y1 != y0 ? side : 0);
                house.y = y0 + (y1 - y0) * h / (houses + 1) + (y1 == y0 ? side : 0);
                // Now and then the dispatchers leave a house without its street.
                if (!b.random.chance(8))
                    house.streets[0] = number;
                const int houseNumber = oddSide ? odd : even;
                (oddSide ? odd : even) += 2;
                const QString caption = u'[' + nameOf(number) + QStringLiteral("]{") + QString::number(houseNumber) + u'}';
                house.caption = caption;
                house.status = QStringLiteral("не задано");
                city.buildings << caption;
                others.push_back(house);
                if (b.random.chance(5)) {  // a second block of the same house
                    CityPoint block = house;
                    block.x += 2;
                    block.caption = caption + QStringLiteral(", корпус 2");
                    others.push_back(block);
                }
            }
            if (b.random.chance(30)) {
                CityPoint plain;
                plain.x = (x0 + x1) / 2;
                plain.y = (y0 + y1) / 2;
                plain.streets[0] = number;
                others.push_back(plain);
            }
        }
    }

    // Named objects: most along a street, some right at a crossing.
    std::vector<int> serial(std::size(kObjectKinds), 0);
    const int objectCount = std::max(3, count / 5);
    for (int o = 0; o < objectCount; ++o) {
        const int kind = b.random.between(0, int(std::size(kObjectKinds)) - 1);
        CityPoint object;
        if (!crossingNodes.empty() && b.random.chance(30)) {
            const size_t at = size_t(b.random.between(0, int(crossings.size()) - 1));
            object = crossings[at];
            std::vector<int> streets;
            for (int s : object.streets)
                if (s != 0)
                    streets.push_back(s);
            b.random.shuffle(streets);
            object.streets = {};
            std::copy(streets.begin(), streets.end(), object.streets.begin());
            object.x += 1;
        } else {
            const int i = b.random.between(0, count - 1);
            const auto &nodes = b.streetNodes[size_t(i)];
            const Node &node = nodes[size_t(b.random.between(0, int(nodes.size()) - 1))];
            object.x = b.nodeX(node) + b.random.between(-20, 20);
            object.y = b.nodeY(node) + b.random.between(-20, 20);
            object.streets[0] = numbers[size_t(i)];
        }
        const QString caption = QString::fromUtf8(kObjectKinds[kind].name).arg(++serial[size_t(kind)]);
        object.caption = caption;
        object.status = QString::fromUtf8(kObjectKinds[kind].category);
        city.objects << caption;
        others.push_back(object);
    }

    // Numbers as the dispatchers give them: crossings first, then everything else.
    int next = 1;
    for (CityPoint &point : crossings)
        point.number = next++;
    for (CityPoint &point : others)
        point.number = next++;
    city.points = std::move(crossings);
    city.points.insert(city.points.end(), others.begin(), others.end());
    if (options.shuffleRows)
        b.random.shuffle(city.points);
    return city;
}

void WriteCity(fb::Attachment &attachment, const CityMap &city)
{
    fb::Transaction transaction(attachment);
    fb::Query query(transaction);
    for (const CityStreet &street : city.streets)
        query.execute(QStringLiteral("INSERT INTO VULICA_LUCK (SPISOK_VUL_NOMER, SPISOK_VUL_VULICA) VALUES (?, ?)"),
                      {street.number, street.name});
    const QString insert = QStringLiteral(
        "INSERT INTO KARTA_MISTA (KOORD_KART_MISTA_NP, KOORD_KART_MISTA_X, KOORD_KART_MISTA_Y, "
        "KOORD_KART_MISTA_PUKT_1, KOORD_KART_MISTA_PUKT_2, KOORD_KART_MISTA_PUKT_3, "
        "KOORD_KART_MISTA_PUKT_4, KOORD_KART_MISTA_PUKT_5, KOORD_KART_MISTA_PIDPIS, "
        "KOORD_KART_MISTA_STATUS) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const CityPoint &p : city.points) {
        fb::Params params{p.number, p.x, p.y, p.streets[0], p.streets[1], p.streets[2], p.streets[3], p.streets[4]};
        params.push_back(p.caption.isNull() ? fb::Param(nullptr) : fb::Param(p.caption));
        params.push_back(p.status.isEmpty() ? fb::Param(nullptr) : fb::Param(p.status));
        query.execute(insert, params);
    }
    transaction.commit();
}

void ClearCity(fb::Attachment &attachment)
{
    fb::Transaction transaction(attachment);
    fb::Query query(transaction);
    query.execute(QStringLiteral("DELETE FROM KARTA_MISTA"));
    query.execute(QStringLiteral("DELETE FROM VULICA_LUCK"));
    transaction.commit();
}

}  // namespace kvtest
