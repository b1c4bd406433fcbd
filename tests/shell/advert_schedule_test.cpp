// The advert schedule on real databases, driven through the prompt interface as the
// window drives it, and the rotation following the operator's changes.

#include "../common/qt_print.h"
#include "adverts/advert_rotation.h"
#include "adverts/advert_schedule.h"
#include "operator_tables.h"

namespace {

class AdvertScheduleTest : public kvtest::OperatorTablesTest {
protected:
    void SetUp() override
    {
        OperatorTablesTest::SetUp();
        sql("INSERT INTO TABLE_REKLAMA (TABLE_REK_NP, TABLE_REK_ACTIV, TABLE_REK_NAME, TABLE_REK_DATE, TABLE_REK_RIS, "
            "TABLE_REK_SAIT, TABLE_REK_TEXT) VALUES (?, ?, ?, ?, ?, ?, ?)",
            {{1, "+", "Кав'ярня", today.addDays(10), "cafe.png", "http://cafe.example", "Кава 100%"},
             {2, "-", "Шиномонтаж", today.addDays(-3), "tyre.gif", "http://tyre.example", "Шини_зимові"},
             {3, "+", "Кав'ярня", today.addDays(2), "cafe2.png", "http://cafe.example/2", "Круасани"},
             {4, "+", "Аптека", today.addDays(-1), "", "", "Ліки"}});
        schedule.FormCreate();
        schedule.SpeedButton13Click();
    }
    // The row numbers the grid shows, and the one it stands on.
    QString shown()
    {
        ServiceLockGuard lock(ServiceLock());
        const GridSnapshot grid = context.danni.Snapshot(TDANI::Grid::Reklama);
        QStringList numbers;
        for (size_t i = 0; i < grid.rows.size(); ++i)
            numbers << (int(i) + 1 == grid.position ? QStringLiteral("*") : QString()) + grid.rows[i].value(0);
        return numbers.join(u'|');
    }
    AdvertFields fields(const QString &name, const QString &text)
    {
        return {true, name, today.addDays(5), QStringLiteral("pic.png"), QStringLiteral("http://site.example"), text};
    }
    QString advertShown()
    {
        ServiceLockGuard lock(ServiceLock());
        AdvanceAdvert(context);
        return QString::number(context.currentAdvert) + u':' + context.settings.TEXT_REKLAMA;
    }

    const QDate today = QDate::currentDate();
    AdvertSchedule schedule{context};
};

TEST_F(AdvertScheduleTest, SearchCriteriaAndTheKeptFilter)
{
    struct Case {
        const char *name;
        std::function<void(AdvertCriteria &)> check;
        const char *numbers;
    };
    const std::vector<Case> cases = {
        {"active", [](AdvertCriteria &c) { c.byActivity = c.active = true; }, "*1|3|4"},
        {"inactive", [](AdvertCriteria &c) { c.byActivity = true; }, "*2"},
        {"name with a quote", [](AdvertCriteria &c) { c.byName = true, c.name = QStringLiteral("в'яр"); }, "*1|3"},
        {"dates, ends included",
         [this](AdvertCriteria &c) { c.byDate = true, c.from = today.addDays(-1), c.to = today.addDays(2); }, "*3|4"},
        {"picture and site",
         [](AdvertCriteria &c) {
             c.byPicture = c.bySite = true, c.picture = QStringLiteral("cafe"), c.site = QStringLiteral("/2");
         },
         "*3"},
        {"percent in the text is no wildcard", [](AdvertCriteria &c) { c.byText = true, c.text = QStringLiteral("%"); },
         "*1"},
        {"underscore in the text is no wildcard", [](AdvertCriteria &c) { c.byText = true, c.text = QStringLiteral("_"); },
         "*2"},
        {"none checked keeps the previous filter", [](AdvertCriteria &) {}, "*2"},
        {"text longer than its column", [](AdvertCriteria &c) { c.byText = true, c.text = QString(501, u'і'); }, ""},
    };
    for (const Case &c : cases) {
        AdvertCriteria criteria;
        c.check(criteria);
        schedule.SpeedButton12Click(criteria);
        EXPECT_EQ(shown(), QString::fromUtf8(c.numbers)) << c.name;
    }
    // An empty selection: every counter reads "не задано".
    EXPECT_EQ(schedule.counters(), (AdvertCounters{kNotSet, kNotSet, kNotSet, kNotSet, kNotSet}));

    schedule.SpeedButton13Click();
    EXPECT_EQ(shown(), QStringLiteral("*1|2|3|4"));
    choose(TDANI::Grid::Reklama, 3);
    schedule.GPRS_TABL_REKLAMAAfterScroll();
    const AdvertCounters counted{QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("2"),
                                 QStringLiteral("2")};
    EXPECT_EQ(schedule.counters(), counted);
    EXPECT_EQ(schedule.ComboBoxDropDown(AdvertSchedule::List::Names),
              (QStringList{QStringLiteral("Аптека"), QStringLiteral("Кав'ярня"), QStringLiteral("Шиномонтаж")}));
    EXPECT_TRUE(prompt.messages.isEmpty()) << prompt.messages.join(u'\n').toStdString();
}

TEST_F(AdvertScheduleTest, CreateEditDeleteAndExpireKeepTheRowAndReachTheRotation)
{
    std::vector<AdvertFields> copied;
    int created = 0;
    QObject::connect(&schedule, &AdvertSchedule::rowCopied, [&](const AdvertFields &f) { copied.push_back(f); });
    QObject::connect(&schedule, &AdvertSchedule::created, [&] { ++created; });
    EXPECT_EQ(advertShown(), QStringLiteral("1:Кава 100%"));

    schedule.SpeedButton11Click(fields(QString(), QStringLiteral("текст")));
    schedule.SpeedButton11Click(fields(QStringLiteral("Таксі 🚕"), QStringLiteral("текст")));
    EXPECT_EQ(prompt.messages.size(), 2);
    EXPECT_TRUE(prompt.questions.isEmpty());

    // Over-long values are cut to their columns; the new advert joins the rotation at once.
    prompt.answers = {true, true, true, true};
    AdvertFields longOne = fields(QString(400, u'Н'), QStringLiteral("Рядок 'один'\nРядок два"));
    longOne.site = QStringLiteral("http://") + QString(53, u's');
    schedule.SpeedButton11Click(longOne);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(column("SELECT CHAR_LENGTH(TABLE_REK_NAME) || ' ' || CHAR_LENGTH(TABLE_REK_SAIT) || ' ' || TABLE_REK_TEXT "
                     "FROM TABLE_REKLAMA WHERE TABLE_REK_NP = 5"),
              QStringLiteral("300 50 Рядок 'один'\r\nРядок два"));
    EXPECT_EQ(advertShown(), QStringLiteral("3:Круасани"));
    EXPECT_EQ(advertShown(), QStringLiteral("5:Рядок 'один'\r\nРядок два"));

    // Edit mode copies the row the grid stands on; the edit keeps the grid on that row.
    choose(TDANI::Grid::Reklama, 3);
    schedule.GPRS_TABL_REKLAMAAfterScroll();
    schedule.setMode(AdvertSchedule::Mode::Edit);
    ASSERT_FALSE(copied.empty());
    EXPECT_EQ(copied.back().text, QStringLiteral("Круасани"));
    AdvertFields edited = copied.back();
    edited.text = QStringLiteral("Тістечка");
    schedule.SpeedButton11Click(edited);
    EXPECT_EQ(shown(), QStringLiteral("1|2|*3|4|5"));
    EXPECT_EQ(advertShown(), QStringLiteral("1:Кава 100%"));
    EXPECT_EQ(advertShown(), QStringLiteral("3:Тістечка"));

    schedule.setMode(AdvertSchedule::Mode::Delete);
    schedule.SpeedButton11Click({});
    EXPECT_EQ(shown(), QStringLiteral("1|2|*4|5"));

    // Expiry switches off what ended before today; advert 4 ended yesterday.
    schedule.SpeedButton5Click();
    EXPECT_EQ(column("SELECT TABLE_REK_ACTIV FROM TABLE_REKLAMA ORDER BY TABLE_REK_NP"), QStringLiteral("+|-|-|+"));
    EXPECT_EQ(schedule.counters().selectionActive, QStringLiteral("2"));
    EXPECT_EQ(prompt.messages.size(), 2) << prompt.messages.join(u'\n').toStdString();
}

}  // namespace
