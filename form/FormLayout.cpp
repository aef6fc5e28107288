// The design of the main window in twips, as drawn at 96 dots per inch.
#include "FormLayout.h"

#include <array>

namespace form {

namespace {

using enum ControlKind;
using Id = ControlId;

constexpr std::array<Control, kControlCount> kControls{{
    {Id::Frame1, "Frame1(1)", Frame, "Sicherungsoptionen", {60, 60, 6345, 5115}, 3},
    {Id::UnitList, "UnitList", DropDownList, "", {5340, 2700, 795, 315}, 22},
    {Id::ZahlText, "ZahlText", NumberBox, "Text1", {4740, 2700, 615, 315}, 21},
    {Id::Chk2, "Chk(2)", CheckBox, "Ja, &löschen", {2940, 3360, 2232, 312}, 19},
    {Id::Frame2_3, "Frame2(3)", Bar, "", {120, 3240, 6075, 75}, 18},
    {Id::Dir1, "Dir1", FolderList, "", {2940, 1620, 3195, 765}, 17},
    {Id::Drive1, "Drive1", DropDownList, "", {2940, 1200, 3195, 315}, 15},
    {Id::Chk1, "Chk(1)", CheckBox, "Ja, Auto-&Run-Datei anlegen", {2940, 4140, 2895, 312}, 13},
    {Id::Frame2_2, "Frame2(2)", Bar, "", {120, 3960, 6075, 75}, 12},
    {Id::Frame2_1, "Frame2(1)", Bar, "", {120, 2520, 6075, 75}, 10},
    {Id::Opt1, "Opt(1)", OptionButton, "Anderes &Ziel festlegen ...", {480, 2040, 2415, 312}, 9},
    {Id::Chk0, "Chk(0)", CheckBox, "&Ja", {2940, 2640, 495, 435}, 6},
    {Id::Opt0, "Opt(0)", OptionButton, "Auf &Diskette in Laufwerk A:", {480, 1680, 2292, 312}, 5},
    {Id::Frame2_0, "Frame2(0)", Bar, "", {120, 1020, 6075, 75}, 4},
    {Id::Label1, "Label1", Label, "- und zwar auf ", {3660, 2760, 1050, 195}, 23},
    {Id::Image1_4, "Image1(4)", Picture, "", {120, 3420, 240, 240}, -1},
    {Id::Tip4,
     "Tip(4)",
     Question,
     "Soll das (Haupt-)Verzeichnis des Ziels zuvor gelöscht werden?",
     {480, 3420, 2295, 555},
     20},
    {Id::Tip3,
     "Tip(3)",
     Question,
     "Soll das Archiv mit der AutoRun- Funktion versehen werden? (Muß vom Ziel-PC unterstützt werden)",
     {480, 4140, 2295, 795},
     14},
    {Id::Image1_3, "Image1(3)", Picture, "", {120, 4140, 240, 240}, -1},
    {Id::Image1_2, "Image1(2)", Picture, "", {120, 2700, 240, 240}, -1},
    {Id::Tip2,
     "Tip(2)",
     Question,
     "Möchten Sie die max. Größe der Teilarchive selbst festlegen?",
     {480, 2700, 2295, 795},
     11},
    // The load handler replaces the sample sentence with the chosen file and its estimate.
    {Id::Tip0,
     "Tip(0)",
     Question,
     "Sie haben die Datei \"Kapitel_1_bis_6.PAK\" zur Sicherung mit Splitwerk für Windows ausgewählt. "
     "Dafür benötigen Sie ungefähr 5 Disketten mit einer Kapazität von 1,44 MByte.",
     {480, 300, 5655, 675},
     8},
    {Id::Tip1, "Tip(1)", Question, "Wohin soll die Sicherung erfolgen?", {480, 1200, 2412, 552}, 7},
    {Id::Image1_0, "Image1(0)", Picture, "", {120, 300, 240, 240}, -1},
    {Id::Image1_1, "Image1(1)", Picture, "", {120, 1200, 240, 240}, -1},
    {Id::Command1_1, "Command1(1)", PushButton, "&Abbrechen", {4260, 5280, 1035, 375}, 2},
    {Id::Command1_2, "Command1(2)", PushButton, "&Info", {3180, 5280, 975, 375}, 1},
    {Id::Command1_0, "Command1(0)", PushButton, "&OK", {5400, 5280, 975, 375}, 0},
    {Id::Pbar, "pbar", ProgressBar, "", {60, 5280, 3015, 375}, 16},
}};

constexpr bool inIdOrder() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (slot(kControls[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inIdOrder(), "the table is indexed by ControlId");

constexpr Id kChk[] = {Id::Chk0, Id::Chk1, Id::Chk2};
constexpr Id kOpt[] = {Id::Opt0, Id::Opt1};
constexpr Id kCommand1[] = {Id::Command1_0, Id::Command1_1, Id::Command1_2};
constexpr Id kTip[] = {Id::Tip0, Id::Tip1, Id::Tip2, Id::Tip3, Id::Tip4};
constexpr Id kImage1[] = {Id::Image1_0, Id::Image1_1, Id::Image1_2, Id::Image1_3, Id::Image1_4};
constexpr Id kFrame2[] = {Id::Frame2_0, Id::Frame2_1, Id::Frame2_2, Id::Frame2_3};

template <std::size_t N> int indexIn(const Id (&members)[N], Id id) {
    for (std::size_t i = 0; i < N; ++i) {
        if (members[i] == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

std::span<const Control> controls() {
    return kControls;
}

const Control& control(ControlId id) {
    return kControls.at(slot(id));
}

std::optional<ControlId> controlNamed(std::string_view name) {
    for (const Control& row : kControls) {
        if (name == row.name) {
            return row.id;
        }
    }
    return std::nullopt;
}

ControlId chk(int index) {
    return kChk[index];
}

ControlId opt(int index) {
    return kOpt[index];
}

ControlId command1(int index) {
    return kCommand1[index];
}

ControlId tip(int index) {
    return kTip[index];
}

ControlId image1(int index) {
    return kImage1[index];
}

int arrayIndex(ControlId id) {
    for (const int index : {indexIn(kChk, id), indexIn(kOpt, id), indexIn(kCommand1, id), indexIn(kTip, id),
                            indexIn(kImage1, id), indexIn(kFrame2, id)}) {
        if (index >= 0) {
            return index;
        }
    }
    return 0;
}

bool insideFrame1(ControlId id) {
    const ControlKind kind = control(id).kind;
    return kind != Frame && kind != PushButton && kind != ProgressBar;
}

int controlNumber(ControlId id) {
    return kFirstControlNumber + static_cast<int>(id);
}

std::optional<ControlId> controlOfNumber(int number) {
    const int index = number - kFirstControlNumber;
    if (index < 0 || index >= static_cast<int>(kControlCount)) {
        return std::nullopt;
    }
    return static_cast<ControlId>(index);
}

} // namespace form
