// Splitwerk 99: the program's entry. The command line is the path of the one file to carry,
// exactly as a file manager's Send To menu passes it.
#include "app/FormLoad.h"
#include "core/ProductFacts.h"
#include "core/SourceSelection.h"
#include "form/Form1.h"
#include "runtime/HostServices.h"
#include "runtime/Runtime.h"
#include "runtime/qt/QtEventPump.h"
#include "runtime/qt/QtGermanTranslation.h"
#include "runtime/qt/QtMessageBox.h"
#include "window/qt/QtForm1Window.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

bool haveDisplay() {
    const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // Without a display Qt would abort with an English message about plugins; say what is
    // missing instead.
    if (!haveDisplay()) {
        std::fputs(
            "Splitwerk 99 braucht eine grafische Oberfläche, es ist aber keine Anzeige gesetzt "
            "(DISPLAY).\nBitte aus einer Desktop-Sitzung starten, oder unter Xvfb: xvfb-run -a splitwerk DATEI\n",
            stderr);
        return 2;
    }

    // Qt would take arguments that look like its own options ("-style", "-platform") out of the
    // list; a file may well be called like that, so Qt gets the program's name only.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setApplicationName(QString::fromUtf8(core::product::kName));
    QApplication::setApplicationDisplayName(QString::fromUtf8(core::product::kName));
    QApplication::setApplicationVersion(QString::fromUtf8(core::product::kVersionText));
    QApplication::setOrganizationName(QStringLiteral("Splitwerk-Team"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/splitwerk/splitwerk.ico")));
    rt::installGermanTranslation(application);

    // An empty drive must come back as "not ready", never as a system box asking for a disk.
    rt::HostServices host;
    rt::QtMessageBox messageBox;
    rt::QtEventPump events;
    rt::Runtime runtime(host.parts(rt::ProgramFacts::fromProcess(argc, argv, host.drives()), messageBox, events));

    core::SourceSelection source;
    form::Form1 form(runtime, source);
    qtface::QtForm1Window window(form);
    runtime.runGuarded([&] { app::Form_Load(form, runtime, source); });
    window.show();
    const int status = application.exec();
    // The window's own handlers end the program; reaching this point means the event loop
    // stopped some other way, so leave through the runtime as well.
    runtime.end(status);
}
