// The window tests run the real window on Qt's offscreen platform, in German as the program
// does, so that the standard buttons of the message boxes carry their German names.
#include "ChildProcess.h"
#include "runtime/qt/QtGermanTranslation.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    window_tests::setProgramPath(argv[0]);
    QApplication application(argc, argv);
    rt::installGermanTranslation(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
