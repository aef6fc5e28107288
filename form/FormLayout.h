// Every control of the main window in one table that both faces loop over: its name, kind,
// design caption, place in twips and place in the tab order. Left and top count from the outer
// top-left corner of the control's container: the client area for the frame, the buttons and
// the progress bar, the frame for everything else.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace form {

// The window's controls in the order of its definition, which is also their stacking order.
// A control array's members carry their index: Chk2 is "Chk(2)", Frame2_3 is "Frame2(3)".
enum class ControlId {
    Frame1,
    UnitList,
    ZahlText,
    Chk2,
    Frame2_3,
    Dir1,
    Drive1,
    Chk1,
    Frame2_2,
    Frame2_1,
    Opt1,
    Chk0,
    Opt0,
    Frame2_0,
    Label1,
    Image1_4,
    Tip4,
    Tip3,
    Image1_3,
    Image1_2,
    Tip2,
    Tip0,
    Tip1,
    Image1_0,
    Image1_1,
    Command1_1,
    Command1_2,
    Command1_0,
    Pbar,
};
inline constexpr std::size_t kControlCount = 29;

inline constexpr std::size_t slot(ControlId id) {
    return static_cast<std::size_t>(id);
}

enum class ControlKind {
    Frame,        // the group box around the rows
    Bar,          // the etched line between two rows
    Question,     // a row's question, wrapped over several lines
    Label,        // one line of text
    Picture,      // the ball beside a row
    CheckBox,     //
    OptionButton, // the two options are one group: one of them is selected
    PushButton,   //
    NumberBox,    // a one-line edit box of five characters
    DropDownList, // a list that offers only its entries
    FolderList,   // the directory list
    ProgressBar,  //
};

struct Place {
    int left;
    int top;
    int width;
    int height;
};

struct Control {
    ControlId id;
    const char* name; // as people and tests read it: the objectName, index included ("Chk(2)")
    ControlKind kind;
    const char* caption; // the design text, access key marked by "&"; empty for none
    Place place;
    int tabIndex; // -1: the control has none (pictures)
};

inline constexpr int kClientWidth = 6450;
inline constexpr int kClientHeight = 5715;

// Every control, in the order of ControlId.
std::span<const Control> controls();
const Control& control(ControlId id);
// A control by its name; nothing for an unknown name.
std::optional<ControlId> controlNamed(std::string_view name);

// The members of the control arrays by index.
ControlId chk(int index);
ControlId opt(int index);
ControlId command1(int index);
ControlId tip(int index);
ControlId image1(int index);
// A control's index in its array ("Chk(2)" is 2); 0 for a control that stands alone.
int arrayIndex(ControlId id);
// Everything but the frame itself, the buttons and the progress bar stands inside the frame.
bool insideFrame1(ControlId id);

// A face that numbers its controls (the Win32 dialog manager, a test that drives the window by
// its messages) numbers them in the order of the table from kFirstControlNumber on.
inline constexpr int kFirstControlNumber = 100;
int controlNumber(ControlId id);
std::optional<ControlId> controlOfNumber(int number);

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
    ControlId id;
    int right;
};
inline constexpr WidthRoom kWidthRooms[] = {{ControlId::Opt0, 2880}, {ControlId::Opt1, 2880},
                                            {ControlId::Chk0, 3600}, {ControlId::Chk1, 6225},
                                            {ControlId::Chk2, 6225}, {ControlId::UnitList, 6285}};
// The gap Label1 keeps to its neighbours when it moves for a larger font.
inline constexpr int kLabel1Gap = 30;

} // namespace form
