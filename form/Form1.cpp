// Form1's state and handlers: the option rows that show and hide their answers, the drive
// list that must stay on a readable drive, and the three buttons.
#include "Form1.h"

#include "FormLayout.h"
#include "InfoBox.h"
#include "app/ReassemblerPolicy.h"
#include "copier/CopyModule.h"
#include "core/DosPath.h"
#include "core/ProductFacts.h"
#include "runtime/HostPlatform.h"
#include "runtime/Runtime.h"

#include <algorithm>
#include <cmath>

namespace form {

namespace {

constexpr const char* kInfoTagline = "Transport großer Dateien auf Floppy und anderen "
                                     "Wechseldatenträgern leicht gemacht ...";

using core::dospath::lowerAscii;

// The designation in capitals, the volume name included. Beyond ASCII only the accented
// letters of Latin-1 have a capital of one character; the rest stays as it is.
std::string upperCase(std::string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool latin1Small =
            byte == 0xC3 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0xA0 &&
            static_cast<unsigned char>(text[i + 1]) <= 0xBE && static_cast<unsigned char>(text[i + 1]) != 0xB7;
        if (latin1Small) {
            text[i + 1] = static_cast<char>(static_cast<unsigned char>(text[i + 1]) - 0x20);
            ++i;
        } else {
            text[i] = core::dospath::upperAscii(text[i]);
        }
    }
    return text;
}

} // namespace

std::string driveDesignation(char letter, const std::string& volume) {
    std::string designation{lowerAscii(letter), ':'};
    if (!volume.empty()) {
        designation += " [" + volume + "]";
    }
    return designation;
}

Form1::Form1(rt::Runtime& runtime, core::SourceSelection& source)
    : runtime_(runtime), source_(source), reassembler_(app::reassemblerChoice(runtime.facts())),
      withRecoveryData_(app::withRecoveryData(runtime.facts())), caption_("Splitwerk für Windows"),
      zahlText_(control(ControlId::ZahlText).caption), dir1_(runtime) {
    for (int i = 0; i < 5; ++i) {
        tips_.at(static_cast<std::size_t>(i)) = control(tip(i)).caption;
    }
    visible_.fill(true);
    enabled_.fill(true);
    for (char letter : runtime_.drives().letters()) {
        const char letterLower = lowerAscii(letter);
        driveItems_.push_back({driveDesignation(letterLower, runtime_.drives().volumeName(letter)), letterLower});
    }
    driveIndex_ = driveItems_.empty() ? -1 : 0;
    showStartDirectory();
}

void Form1::changed(ControlId id) {
    if (face_ != nullptr) {
        face_->showControl(id);
    }
}

void Form1::setShown(ControlId id, bool shown) {
    visible_[slot(id)] = shown;
    changed(id);
}

void Form1::setDotsPerInch(int dpiX, int dpiY) {
    scale_ = TwipsScale(dpiX, dpiY);
}

void Form1::showStartDirectory() {
    // Like the classic lists: the drive and directory the program was started in.
    const std::optional<std::string> working = rt::workingFolder();
    // A folder whose name holds a backslash has no drive-letter form; its translation would name
    // another folder, so the lists start as if outside every drive.
    const bool expressible = working && rt::DriveMap::canExpress(*working);
    const std::string start = expressible ? runtime_.drives().fromNative(*working) : std::string();
    // The handlers are not called yet: the window is only being built.
    const int startDrive = indexOfDrive(start);
    if (startDrive >= 0) {
        driveIndex_ = startDrive;
    }
    try {
        if (startDrive < 0) {
            rt::raise(rt::kDiskNotReady);
        }
        setDir1Path(start);
        return;
    } catch (const rt::RuntimeError&) {
        // The working directory lies on no drive of the map, or cannot be read.
    }
    try {
        setDir1Path(drive1());
    } catch (const rt::RuntimeError&) {
        // The first drive is not ready either; the list stays empty until one is chosen.
    }
}

void Form1::Chk_Click(int16_t index) {
    // Only the first row's box has answers to show; the other two boxes are read by the run.
    if (index != 0) {
        return;
    }
    const bool shown = chkValue(0) != 0;
    for (ControlId id : {ControlId::Label1, ControlId::ZahlText, ControlId::UnitList}) {
        setShown(id, shown);
    }
}

void Form1::Opt_Click(int16_t index) {
    const bool shown = index == 1;
    setShown(ControlId::Drive1, shown);
    setShown(ControlId::Dir1, shown);
}

void Form1::Drive1_Change() {
    // Every step may fail; a failure is skipped and only decides whether to recover.
    bool failed = false;
    try {
        setDir1Path(drive1());
    } catch (const rt::RuntimeError&) {
        failed = true;
    }
    if (!failed) {
        return;
    }
    try {
        runtime_.msgBox("Auf Laufwerk " + upperCase(drive1()) + " kann nicht zugegriffen werden!", rt::kCriticalOk,
                        core::product::kName);
    } catch (const rt::RuntimeError&) {
    }
    try {
        // Back to the program's own drive: this runs the handler again, nested, which brings
        // the directory list along. Should that drive be unreadable as well, the list already
        // shows it the second time round and stays silent, which ends the recovery.
        setDrive1FromPath(runtime_.facts().programFolder);
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
            AAA::ShowInfo(runtime_, core::product::kName, kInfoTagline);
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
    for (ControlId id :
         {ControlId::Command1_0, ControlId::Drive1, ControlId::Dir1, ControlId::ZahlText, ControlId::UnitList,
          ControlId::Chk0, ControlId::Chk1, ControlId::Chk2, ControlId::Opt0, ControlId::Opt1}) {
        enabled_[slot(id)] = false;
        changed(id);
    }
    runtime_.runGuarded([&] { kopierer::RunCopy(runtime_, *this, source_, reassembler_); });
    // Finished or given up in one of its dialogs: either way the program is done.
    runtime_.end(0);
}

void Form1::cancel() {
    if (CopyRunning == 0) {
        runtime_.end(0);
    }
    // The click arrived while the run yields; on Yes the run is not resumed, and what it
    // wrote so far stays on the target.
    if (kopierer::ConfirmAbort(runtime_)) {
        runtime_.end(0);
    }
}

void Form1::Form_QueryUnload() {
    Command1_Click(1);
}

bool Form1::takesInput(ControlId id) {
    if (enabled(id)) {
        return true;
    }
    // A tool may still set a control that is grey; the run must not find a value it never read,
    // nor the window show one the run does not use.
    changed(id);
    return false;
}

void Form1::tickChk(int index, int value) {
    if (takesInput(chk(index))) {
        setChkValue(index, value);
    }
}

void Form1::selectOpt(int index) {
    if (opt_ == index || !takesInput(opt(index))) {
        return;
    }
    opt_ = index;
    changed(opt(index));
    Opt_Click(static_cast<int16_t>(index));
}

void Form1::typeZahlText(const std::string& text) {
    if (text != zahlText_ && takesInput(ControlId::ZahlText)) {
        zahlText_ = text;
    }
}

void Form1::chooseUnit(int index) {
    if (index == unitListIndex_ || !takesInput(ControlId::UnitList)) {
        return;
    }
    if (index < 0 || index >= static_cast<int>(unitListItems_.size())) {
        // The list offers only its entries; an empty field would make the run count in bytes.
        changed(ControlId::UnitList);
        return;
    }
    unitListIndex_ = index;
}

void Form1::chooseDrive(int index) {
    if (index == driveIndex_ || !takesInput(ControlId::Drive1)) {
        return;
    }
    if (index < 0 || index >= static_cast<int>(driveItems_.size())) {
        changed(ControlId::Drive1);
        return;
    }
    changeDrive(index);
}

void Form1::changeDrive(int index) {
    // Like the classic list, which stays silent when the index does not change: that is what
    // ends the recovery when the program's own drive cannot be read either.
    if (index == driveIndex_) {
        return;
    }
    driveIndex_ = index;
    changed(ControlId::Drive1);
    Drive1_Change();
}

bool Form1::openFolder(const std::string& path) {
    // A double click queued before OK may arrive in the run's first yield, when the run has
    // already taken its target from the list.
    if (!takesInput(ControlId::Dir1)) {
        return false;
    }
    try {
        setDir1Path(path);
        return true;
    } catch (const rt::RuntimeError&) {
        // A folder that cannot be read simply does not open, as in the classic list; the
        // directory shown, and with it the target of the run, stays what it was.
        return false;
    }
}

int Form1::indexOfDrive(const std::string& path) const {
    if (path.size() < 2 || path[1] != ':') {
        return -1;
    }
    const auto found = std::find_if(driveItems_.begin(), driveItems_.end(),
                                    [&](const DriveItem& item) { return item.letter == lowerAscii(path[0]); });
    return found == driveItems_.end() ? -1 : static_cast<int>(found - driveItems_.begin());
}

void Form1::setDrive1FromPath(const std::string& path) {
    const int index = indexOfDrive(path);
    if (index < 0) {
        rt::raise(rt::kDiskNotReady);
    }
    changeDrive(index);
}

void Form1::setDir1Path(const std::string& path) {
    dir1_.setPath(path);
    changed(ControlId::Dir1);
}

std::string Form1::drive1() const {
    return driveIndex_ < 0 ? std::string() : driveItems_.at(static_cast<std::size_t>(driveIndex_)).designation;
}

char Form1::drive1Letter() const {
    return driveIndex_ < 0 ? '\0' : driveItems_.at(static_cast<std::size_t>(driveIndex_)).letter;
}

void Form1::setCaption(const std::string& caption) {
    caption_ = caption;
    if (face_ != nullptr) {
        face_->showCaption();
    }
}

void Form1::unitListAddItem(const std::string& item) {
    unitListItems_.push_back(item);
    if (unitListIndex_ < 0) {
        // A drop-down list shows its first entry as soon as it has one.
        unitListIndex_ = 0;
    }
    changed(ControlId::UnitList);
}

void Form1::setUnitListIndex(int index) {
    unitListIndex_ = index;
    changed(ControlId::UnitList);
}

void Form1::setZahlText(const std::string& text) {
    zahlText_ = text;
    changed(ControlId::ZahlText);
}

void Form1::setChkValue(int index, int value) {
    const int ticked = value != 0 ? 1 : 0;
    if (chk_.at(static_cast<std::size_t>(index)) == ticked) {
        return;
    }
    chk_.at(static_cast<std::size_t>(index)) = ticked;
    changed(chk(index));
    // A change of the value, by the user or by the program, counts as a click.
    Chk_Click(static_cast<int16_t>(index));
}

void Form1::setLabel1Visible(bool visible) {
    setShown(ControlId::Label1, visible);
}

void Form1::setZahlTextVisible(bool visible) {
    setShown(ControlId::ZahlText, visible);
}

void Form1::setUnitListVisible(bool visible) {
    setShown(ControlId::UnitList, visible);
}

void Form1::setImage1Width(int index, float twips) {
    images_.at(static_cast<std::size_t>(index)).width = twips;
    changed(image1(index));
}

void Form1::setImage1Height(int index, float twips) {
    images_.at(static_cast<std::size_t>(index)).height = twips;
    changed(image1(index));
}

void Form1::setTipCaption(int index, const std::string& caption) {
    tips_.at(static_cast<std::size_t>(index)) = caption;
    changed(tip(index));
}

float Form1::pixelsToTwipsX(float pixels) const {
    return scale_.toTwipsX(pixels);
}

float Form1::pixelsToTwipsY(float pixels) const {
    return scale_.toTwipsY(pixels);
}

bool Form1::optValue(int index) const {
    return opt_ == index;
}

int Form1::chkValue(int index) const {
    return chk_.at(static_cast<std::size_t>(index));
}

void Form1::setPbarValue(float percent) {
    // Cut, not rounded: 99.6 % is not yet done, and the bar must not say 100 while the run goes on.
    const float bounded = std::clamp(percent, 0.0F, 100.0F);
    pbar_ = static_cast<int>(std::floor(bounded));
    changed(ControlId::Pbar);
}

} // namespace form
