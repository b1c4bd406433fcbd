// What one client address may do in a while: the sliding windows and the budgets built on
// them, without a database.

#include "scripted_prompt.h"
#include "shell/client_budgets.h"
#include "shell/server_settings.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = AddressWindow::Clock;

TEST(AddressWindow, CountsWithinTheWindowBySubscriberAndForgetsTheLeastRecentAddress)
{
    AddressWindow window(600s, 3);
    const Clock::time_point t0 = Clock::now();
    struct Step {
        const char *address;
        std::chrono::seconds at;
        int counted;  // after adding
    } const steps[] = {
        {"10.0.0.1", 0s, 1},
        {"10.0.0.1", 100s, 2},
        {"::ffff:10.0.0.1", 200s, 3},  // the same host seen through IPv6
        {"10.0.0.1", 650s, 3},         // the first has left the window
        {"2001:db8:1:2::5", 700s, 1},
        {"2001:db8:1:2:ffff::1", 701s, 2},  // same /64
        {"2001:db8:1:3::1", 702s, 1},       // another subscriber
        {"10.0.0.9", 703s, 1},
    };
    for (const Step &step : steps)
        EXPECT_EQ(window.add(QString::fromLatin1(step.address), t0 + step.at), step.counted) << step.address;
    // Three addresses are kept: the fourth pushed out the one touched longest ago.
    EXPECT_EQ(window.count(QStringLiteral("10.0.0.1"), t0 + 703s), 0);
    EXPECT_EQ(window.count(QStringLiteral("2001:db8:1:2::77"), t0 + 703s), 2);
}

class ClientBudgetsTest : public ::testing::Test {
protected:
    kvtest::TempDir dir;
    ServerSettings settings = ServerSettings::pageDefaults();
    OperatorLog web{dir.path(), QStringLiteral("_W.RTF"), [] { return QStringLiteral("5000"); }};
    OperatorLog mobile{dir.path(), QStringLiteral("_M.RTF"), [] { return QStringLiteral("5000"); }};
    SettingNumbers numbers{web};
    ClientBudgets budgets{settings, numbers, {web, mobile}};
};

TEST_F(ClientBudgetsTest, FailedLoginsOfAnAddressCloseItForEveryChannelAndNoOtherAddress)
{
    settings.MAX_POMYLOK_VHODU_Z_ADRESY = QStringLiteral("3");
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(budgets.loginRefused(ClientChannel::Mobile, QStringLiteral("10.0.0.2")));
        budgets.loginFailed(QStringLiteral("10.0.0.2"), QStringLiteral("00101"));
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(budgets.loginRefused(ClientChannel::Web, QStringLiteral("10.0.0.2")));
        EXPECT_TRUE(budgets.loginRefused(ClientChannel::Mobile, QStringLiteral("10.0.0.2")));
    }
    EXPECT_FALSE(budgets.loginRefused(ClientChannel::Web, QStringLiteral("10.0.0.3")));
    // Refusals in a minute make one line each log, with the count of failures.
    EXPECT_EQ(web.lines().filter(QStringLiteral("вхід з адреси IP:[10.0.0.2] відхилено без перевірки пароля: 3")).size(), 1);
    EXPECT_EQ(mobile.lines().filter(QStringLiteral("IP:[10.0.0.2]")).size(), 1);

    settings.MAX_POMYLOK_VHODU_Z_ADRESY = QStringLiteral("0");  // turned off
    EXPECT_FALSE(budgets.loginRefused(ClientChannel::Web, QStringLiteral("10.0.0.2")));
    settings.MAX_POMYLOK_VHODU_Z_ADRESY = QStringLiteral("lots");  // no number: the default 20
    EXPECT_FALSE(budgets.loginRefused(ClientChannel::Web, QStringLiteral("10.0.0.2")));
}

TEST_F(ClientBudgetsTest, GuessingOneAccountFromManyAddressesIsToldOnce)
{
    int told = 0;
    QObject::connect(&budgets, &ClientBudgets::warning, [&told](const QString &) { ++told; });
    for (int i = 1; i <= 30; ++i)
        budgets.loginFailed(QStringLiteral("10.0.1.%1").arg(i), QStringLiteral("00101"));
    for (int i = 1; i <= 10; ++i)
        budgets.loginFailed(QStringLiteral("10.0.1.%1").arg(i), QStringLiteral("00102"));
    EXPECT_EQ(told, 1);
    EXPECT_EQ(web.lines().filter(QStringLiteral("Підбір пароля до коду [00101]")).size(), 1);
}

TEST_F(ClientBudgetsTest, QuickOrdersCountPerChannelAndSpareTheListedNetworks)
{
    settings.MAX_ZAMOVLEN_Z_ADRESY = QStringLiteral("2");
    settings.ADRESY_BEZ_LIMITU = QStringLiteral("192.168.5.0/24, 10.9.9.9");
    const QString firm = QStringLiteral("555-12-12");
    for (const char *address : {"10.0.0.4", "192.168.5.77", "10.9.9.9"})
        for (int i = 0; i < 2; ++i)
            budgets.quickOrderPlaced(ClientChannel::Mobile, QString::fromLatin1(address));
    EXPECT_EQ(budgets.quickOrderRefusal(ClientChannel::Mobile, QStringLiteral("10.0.0.4"), firm),
              QStringLiteral("[з вашої адреси створено забагато замовлень, повторіть спробу пізніше або замовте у "
                             "телефонному режимі тел.[555-12-12]]"));
    EXPECT_EQ(budgets.quickOrderRefusal(ClientChannel::Web, QStringLiteral("10.0.0.4"), firm), QString());
    EXPECT_EQ(budgets.quickOrderRefusal(ClientChannel::Mobile, QStringLiteral("192.168.5.77"), firm), QString());
    EXPECT_EQ(budgets.quickOrderRefusal(ClientChannel::Mobile, QStringLiteral("10.9.9.9"), firm), QString());

    settings.MAX_ZAYAVOK_Z_ADRESY = QStringLiteral("1");
    budgets.applicationFiled(QStringLiteral("10.0.0.4"));
    EXPECT_TRUE(budgets.applicationRefused(ClientChannel::Web, QStringLiteral("10.0.0.4")));
    EXPECT_FALSE(budgets.complaintRefused(ClientChannel::Web, QStringLiteral("10.0.0.4")));
}

}  // namespace
