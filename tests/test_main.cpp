// Shared main of every test program: headless Qt, then GoogleTest.
// LUMORA_TEST_APP picks the application object the folder's code needs:
// 0 none, 1 QCoreApplication, 2 QGuiApplication (fonts, images), 3 QApplication.
#include <gtest/gtest.h>
#include <cstdlib>
#include <memory>

#include <QCoreApplication>
#if LUMORA_TEST_APP >= 2
#include <QGuiApplication>
#endif
#if LUMORA_TEST_APP >= 3
#include <QApplication>
#endif

int main(int argc, char** argv)
{
    // Test discovery runs the binary without the test's environment, and Qt
    // aborts without a display.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("LUMORA_SCREEN_PPI"))
        setenv("LUMORA_SCREEN_PPI", "96", 1);
    ::testing::InitGoogleTest(&argc, argv);
#if LUMORA_TEST_APP == 1
    QCoreApplication app(argc, argv);
#elif LUMORA_TEST_APP == 2
    QGuiApplication app(argc, argv);
#elif LUMORA_TEST_APP == 3
    QApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
