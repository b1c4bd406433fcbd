#include "common/regional_format.h"
#include "route/fare.h"
#include "route_test_db.h"

#include <gtest/gtest.h>

namespace {

TEST(Fare, TariffPricesTakingKilometresWaitingAndAdvance)
{
    RouteTestDb db;
    db.exec("INSERT INTO TARIFI (TARIF_NP, TARIF_NAME, TARIF_KM_MISTO, TARIF_KM_ZA_MISTO, TARIF_PRIINYATTA_ZAMOVL, "
            "TARIF_CINA_POPERED_ZAMOVL, TARIF_HV_PROSTOU) VALUES (1, 'Міський', 4.5, 6, 30, 10, 0.5)");
    db.exec("INSERT INTO TARIFI (TARIF_NP, TARIF_NAME, TARIF_KM_MISTO, TARIF_PRIINYATTA_ZAMOVL) "
            "VALUES (2, 'Кур''єр', 3, 20)");
    EXPECT_DOUBLE_EQ(LoadTariff(db.danni, "Міський", 0, 3.87, 0, 0), 47.415);
    EXPECT_DOUBLE_EQ(LoadTariff(db.danni, "Міський", 1, 3.87, 0, 0), 57.415);
    EXPECT_EQ(LoadTariff(db.danni, "Міський", 0, 0, 0, 0), 30);
    EXPECT_EQ(LoadTariff(db.danni, "Міський", 1, 0, 0, 0), 40);
    EXPECT_EQ(LoadTariff(db.danni, "Міський", 2, 0, 0, 0), 30);  // only 1 means advance
    EXPECT_DOUBLE_EQ(LoadTariff(db.danni, "Міський", 0, 1, 2, 4), 4.5 + 30 + 12 + 2);
    EXPECT_EQ(LoadTariff(db.danni, "Кур'єр", 1, 2, 0, 0), 26);  // NULL prices count as 0
    EXPECT_EQ(LoadTariff(db.danni, "Нічний", 0, 12, 0, 0), 0);
    EXPECT_EQ(LoadTariff(db.danni, QString(60, u'М'), 0, 12, 0, 0), 0);  // longer than the column
}

// Distances and sums are cut after the second decimal of their printed form (up to 15
// significant digits), so float noise of a product does not survive the cut. Expected texts
// are written out, as a passenger would read them.
TEST(Fare, DistancesAndSumsAreCutAfterTwoDecimalsOfThePrintedForm)
{
    const struct {
        double kilometres, perKilometre, taking;
        const char *shown;
    } cases[] = {
        {3.8752, 1, 0, "3,87"},
        {3.879, 1, 0, "3,87"},
        {12, 1, 0, "12"},
        {0.105, 1, 0, "0,1"},
        {47.415, 1, 0, "47,41"},
        {3, 0.7, 0, "2,1"},            // 2.0999999999999996 in binary
        {0.1, 3, 0, "0,3"},            // 0.30000000000000004
        {4.35, 100, 0, "435"},         // 434.99999999999994
        {3.75, 7.5, 25, "53,12"},      // 53.125: a real third decimal is cut
        {1.1, 1.1, 0, "1,21"},         // 1.2100000000000002
        {45.99999999999999, 10, 0.000000000000006, "460"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RegionalFormat::numberText(CutAfterTwoDecimals(c.taking + c.kilometres * c.perKilometre)),
                  QString::fromLatin1(c.shown))
            << c.kilometres << " x " << c.perKilometre;
}

}  // namespace
