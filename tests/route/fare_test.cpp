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

TEST(Fare, DistancesAreCutAfterTwoDecimalsNotRounded)
{
    EXPECT_EQ(CutAfterTwoDecimals(3.8752), 3.87);
    EXPECT_EQ(CutAfterTwoDecimals(3.879), 3.87);
    EXPECT_EQ(CutAfterTwoDecimals(3.8), 3.8);
    EXPECT_EQ(CutAfterTwoDecimals(12), 12);
    EXPECT_EQ(CutAfterTwoDecimals(0.105), 0.1);
    EXPECT_EQ(CutAfterTwoDecimals(47.415), 47.41);
}

}  // namespace
