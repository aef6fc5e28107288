// Form1, the program's one window, without a toolkit: what its controls hold, which of them are
// shown and enabled, and the handlers of its events. The load handler and the copy run read and
// set it through their narrow views; a face (Qt on Linux, Win32 on Windows) creates the real
// controls, places them from the layout table, forwards the user's actions here and shows what
// the form holds whenever it reports a change.
#pragma once

#include "FolderList.h"
#include "FormLayout.h"
#include "TwipsScale.h"
#include "app/FormLoad.h"
#include "copier/CopyControls.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rt {
class Runtime;
}

namespace form {

// What the form tells the face that shows it, after each change.
class Face {
public:
    virtual ~Face() = default;
    // The window's caption.
    virtual void showCaption() = 0;
    // One control as the form now holds it: its value, text, entries or size, and whether it is
    // shown and takes input. Either option stands for both: they share one value.
    virtual void showControl(ControlId id) = 0;
};

// How Drive1 names a drive: the letter in lower case and a colon, then the name of its medium
// in brackets when it has one ("a:", "c: [SYSTEM]").
std::string driveDesignation(char letter, const std::string& volume);

class Form1 : public app::StartupForm, public kopierer::CopyControls {
public:
    Form1(rt::Runtime& runtime, core::SourceSelection& source);

    // The face that shows the form; nullptr for none.
    void setFace(Face* face) { face_ = face; }
    // The face's screen resolution, for the twips the load handler computes from pixels.
    void setDotsPerInch(int dpiX, int dpiY);

    // 0 until OK starts the run, then -1; nothing sets it back, the program ends with the run.
    int16_t CopyRunning = 0;

    // The handlers of the window's events. Each is also a plain operation that code may call.
    void Chk_Click(int16_t index);
    void Opt_Click(int16_t index) override;
    void Command1_Click(int16_t index);
    void Drive1_Change();
    // The close box: the same as Abbrechen, before and during the run.
    void Form_QueryUnload();

    // What a control of a face now shows, however it came to show it: a click, a key, code
    // that set it, or an accessibility tool acting for the user. A face reports every change, its
    // own showing of the form's values included, so what the run reads is what the window shows;
    // the value the form already holds changes nothing, so hearing it back is harmless. A changed
    // box or option runs its handler, as a change by the program does. A disabled control (all of
    // them while the run goes on) takes nothing, nor does a list an index it has no entry for:
    // the form announces its own value again, and the face shows that.
    void tickChk(int index, int value);
    void selectOpt(int index);
    void typeZahlText(const std::string& text);
    void chooseUnit(int index);
    // Drive1 shows another drive: Drive1_Change runs, unless the index is the one shown.
    void chooseDrive(int index);
    // The user opens a folder of Dir1; one that cannot be read simply does not open (false).
    bool openFolder(const std::string& path);

    // Drive1 shows the drive of a drive-letter path ("Z:\home" or "z:"); error 71 (not ready)
    // when the list has no such drive. Setting the drive it shows raises no change.
    void setDrive1FromPath(const std::string& path);
    // Opens a directory in Dir1 (see FolderList::setPath); errors are the runtime's.
    void setDir1Path(const std::string& path);

    // What the load handler sets.
    void setCaption(const std::string& caption) override;
    void unitListAddItem(const std::string& item) override;
    void setUnitListIndex(int index) override;
    void setZahlText(const std::string& text) override;
    void setChkValue(int index, int value) override;
    void setLabel1Visible(bool visible) override;
    void setZahlTextVisible(bool visible) override;
    void setUnitListVisible(bool visible) override;
    void setImage1Width(int index, float twips) override;
    void setImage1Height(int index, float twips) override;
    void setTipCaption(int index, const std::string& caption) override;
    const core::ReassemblerChoice& reassemblerChoice() const override { return reassembler_; }
    float pixelsToTwipsX(float pixels) const override;
    float pixelsToTwipsY(float pixels) const override;

    // What the copy run reads and sets.
    bool optValue(int index) const override;
    int chkValue(int index) const override;
    std::string dir1Path() const override { return dir1_.path(); }
    std::string zahlText() const override { return zahlText_; }
    int unitListIndex() const override { return unitListIndex_; }
    void setPbarValue(float percent) override;
    bool withRecoveryData() const override { return withRecoveryData_; }

    // What a face shows.
    struct DriveItem {
        std::string designation; // "a:", "c: [Daten]"
        char letter = 0;         // lower case
    };
    // Image1's size in twips; 0 keeps the size of the layout table.
    struct ImageSize {
        float width = 0;
        float height = 0;
    };
    const std::string& caption() const { return caption_; }
    const std::string& tipCaption(int index) const { return tips_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& unitListItems() const { return unitListItems_; }
    const std::vector<DriveItem>& drive1Items() const { return driveItems_; }
    int drive1Index() const { return driveIndex_; }
    // The designation Drive1 shows, and its lower-case letter (0 when the list is empty).
    std::string drive1() const;
    char drive1Letter() const;
    const FolderList& dir1() const { return dir1_; }
    ImageSize image1Size(int index) const { return images_.at(static_cast<std::size_t>(index)); }
    int pbarValue() const { return pbar_; }
    bool visible(ControlId id) const { return visible_[slot(id)]; }
    bool enabled(ControlId id) const { return enabled_[slot(id)]; }

private:
    void changed(ControlId id);
    // False, and the control's value announced again, when the control takes no input now.
    bool takesInput(ControlId id);
    void changeDrive(int index);
    void setShown(ControlId id, bool shown);
    int indexOfDrive(const std::string& path) const;
    void showStartDirectory();
    void startRun();
    void cancel();

    rt::Runtime& runtime_;
    core::SourceSelection& source_;
    const core::ReassemblerChoice reassembler_;
    const bool withRecoveryData_; // decided by the command line, as the reassembler is
    Face* face_ = nullptr;
    TwipsScale scale_{96, 96};

    std::string caption_;
    std::array<int, 3> chk_{};
    int opt_ = 0; // the selected option
    std::string zahlText_;
    std::vector<std::string> unitListItems_;
    int unitListIndex_ = -1;
    std::array<std::string, 5> tips_;
    std::array<ImageSize, 5> images_{};
    int pbar_ = 0;
    std::vector<DriveItem> driveItems_;
    int driveIndex_ = -1;
    FolderList dir1_;
    std::array<bool, kControlCount> visible_{};
    std::array<bool, kControlCount> enabled_{};
};

} // namespace form
