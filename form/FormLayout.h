// Where every control of the main window stands, in twips, and its place in the tab order.
// Left and top count from the outer top-left corner of the control's container: the client
// area for the frame, the buttons and the progress bar, the frame for everything else.
#pragma once

#include <cstddef>
#include <span>

namespace form_layout {

struct Place {
    const char* name; // the control's objectName, index included: "Chk(2)"
    int left;
    int top;
    int width;
    int height;
    int tabIndex; // -1: the control has none (images)
};

inline constexpr int kClientWidth = 6450;
inline constexpr int kClientHeight = 5715;

// In the order of the window's definition.
inline constexpr std::size_t kPlaceCount = 29;
std::span<const Place> places();

// The place of one control; nullptr for an unknown name.
const Place* placeOf(const char* name);

// A face that numbers its controls (the Win32 dialog manager, a test that drives the window by
// its messages) numbers them by their place in the definition: the first is kFirstControlId.
inline constexpr int kFirstControlId = 100;
// The number of a control by name; -1 for an unknown name.
int controlId(const char* name);

// The design texts: the questions with the sample sentence the load handler replaces, the
// captions of the boxes, options and buttons.
inline constexpr const char* kTipTexts[5] = {
    "Sie haben die Datei \"Kapitel_1_bis_6.PAK\" zur Sicherung mit Splitwerk für Windows ausgewählt. "
    "Dafür benötigen Sie ungefähr 5 Disketten mit einer Kapazität von 1,44 MByte.",
    "Wohin soll die Sicherung erfolgen?",
    "Möchten Sie die max. Größe der Teilarchive selbst festlegen?",
    "Soll das Archiv mit der AutoRun- Funktion versehen werden? (Muß vom Ziel-PC unterstützt werden)",
    "Soll das (Haupt-)Verzeichnis des Ziels zuvor gelöscht werden?",
};
inline constexpr const char* kChkCaptions[3] = {"&Ja", "Ja, Auto-&Run-Datei anlegen", "Ja, &löschen"};
inline constexpr const char* kOptCaptions[2] = {"Auf &Diskette in Laufwerk A:", "Anderes &Ziel festlegen ..."};
inline constexpr const char* kCommandCaptions[3] = {"&OK", "&Abbrechen", "&Info"};
inline constexpr const char* kFrame1Caption = "Sicherungsoptionen";
inline constexpr const char* kLabel1Caption = "- und zwar auf ";

// How far each question may grow when the font in use needs more room than the design gave
// it: to the right up to the answer column (the sentence of the first row up to the frame's
// edge), down to whatever stands below it. Twips, inside the frame.
struct TipRoom {
    int right;
    int bottom;
};
inline constexpr TipRoom kTipRooms[5] = {{6225, 1020}, {2880, 1752}, {2880, 3240}, {2880, 5040}, {2880, 3960}};

// How far a one-line control may grow to the right, in twips inside the frame: the option
// buttons up to the answer column, the rest up to the frame's edge.
struct WidthRoom {
    const char* name;
    int right;
};
inline constexpr int kUnitListRight = 6285;
inline constexpr WidthRoom kWidthRooms[] = {{"Opt(0)", 2880}, {"Opt(1)", 2880}, {"Chk(0)", 3600},
                                            {"Chk(1)", 6225}, {"Chk(2)", 6225}, {"UnitList", kUnitListRight}};
// The gap Label1 keeps to its neighbours when it moves for a larger font.
inline constexpr int kLabel1Gap = 30;

} // namespace form_layout
