#include <QApplication>

#include <gtest/gtest.h>

// Widgets need an application object; the tests draw on no screen and open nothing.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("KORVANTIS_NO_BROWSER", "1");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
