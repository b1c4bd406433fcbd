#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// Timers, sockets and queued signals need an application object on the main thread.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "korvantis-test";
        static char *argv[] = {name, nullptr};
        app_ = new QCoreApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QCoreApplication *app_ = nullptr;
};

const auto *registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
