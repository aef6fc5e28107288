// Form1's event handlers: the option rows that show and hide their answers, the drive list
// that must stay on a readable drive, and the three buttons.
#include "InfoBox.h"
#include "DirList.h"
#include "DriveList.h"
#include "Form1.h"
#include "copier/CopyModule.h"
#include "core/ProductFacts.h"
#include "runtime/Runtime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>

namespace {

constexpr const char* kInfoTagline = "Transport großer Dateien auf Floppy und anderen "
                                     "Wechseldatenträgern leicht gemacht ...";

std::string upperCase(const std::string& text) {
    return QString::fromStdString(text).toUpper().toStdString();
}

} // namespace

void Form1::Chk_Click(int16_t index) {
    // Only the first row's box has answers to show; the other two boxes are read by the run.
    if (index != 0) {
        return;
    }
    const bool shown = chkValue(0) != 0;
    label1_->setVisible(shown);
    zahlText_->setVisible(shown);
    unitList_->setVisible(shown);
}

void Form1::Opt_Click(int16_t index) {
    const bool shown = index == 1;
    drive1_->setVisible(shown);
    dir1_->setVisible(shown);
}

void Form1::Drive1_Change() {
    // Every step may fail; a failure is skipped and only decides whether to recover.
    bool failed = false;
    try {
        dir1_->setPath(drive1_->drive());
    } catch (const rt::RuntimeError&) {
        failed = true;
    }
    if (!failed) {
        return;
    }
    try {
        runtime_.msgBox("Auf Laufwerk " + upperCase(drive1_->drive()) + " kann nicht zugegriffen werden!",
                        rt::kCriticalOk, product::kName);
    } catch (const rt::RuntimeError&) {
    }
    try {
        // Back to the program's own drive: this runs the handler again, nested, which brings
        // the directory list along. Should that drive be unreadable as well, the list already
        // shows it the second time round and stays silent, which ends the recovery.
        drive1_->setDriveFromPath(runtime_.facts().programFolder);
    } catch (const rt::RuntimeError&) {
    }
}

void Form1::Command1_Click(int16_t index) {
    runtime_.runGuarded([&] {
        switch (index) {
        case 0:
            startRun();
            break;
        case 1:
            cancel();
            break;
        case 2:
            AAA::ShowInfo(runtime_, product::kName, kInfoTagline);
            break;
        default:
            break;
        }
    });
}

void Form1::startRun() {
    // OK works once: a second press, queued before the button went grey, finds the run going.
    if (CopyRunning != 0) {
        return;
    }
    CopyRunning = -1;
    for (QWidget* control : std::initializer_list<QWidget*>{command1_[0], drive1_, dir1_, zahlText_, unitList_, chk_[0],
                                                            chk_[1], chk_[2], opt_[0], opt_[1]}) {
        control->setEnabled(false);
    }
    runtime_.runGuarded([&] { RunCopy(runtime_, *this, source_); });
    // Finished or given up in one of its dialogs: either way the program is done.
    runtime_.end(0);
}

void Form1::cancel() {
    if (CopyRunning == 0) {
        runtime_.end(0);
    }
    // The click arrived while the run yields; on Yes the run is not resumed, and what it
    // wrote so far stays on the target.
    if (ConfirmAbort(runtime_)) {
        runtime_.end(0);
    }
}

void Form1::Form_QueryUnload() {
    Command1_Click(1);
}
