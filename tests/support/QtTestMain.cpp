// The main of every Qt test program: a QApplication on the offscreen platform (test discovery
// runs the program without the test's environment), in German as the program is, so that the
// standard buttons of the message boxes carry their German names.
#include "runtime/qt/QtGermanTranslation.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    rt::installGermanTranslation(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
