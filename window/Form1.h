// Form1, the program's one window: the options frame with its five rows, the progress bar
// and the buttons Info, Abbrechen and OK. It offers its controls to the load handler and to
// the copy run through their narrow interfaces and runs the handlers of its events.
#pragma once

#include "app/FormLoad.h"
#include "copier/CopyControls.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class DirList;
class DriveList;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class TwipsScale;

namespace rt {
class Runtime;
}

class Form1 : public QWidget, public StartupForm, public CopyControls {
    Q_OBJECT
public:
    Form1(rt::Runtime& runtime, SourceSelection& source, QWidget* parent = nullptr);

    // 0 until OK starts the run, then -1; nothing sets it back, the program ends with the run.
    int16_t CopyRunning = 0;

    // The handlers of the window's events. Each is also a plain operation that code may call.
    void Chk_Click(int16_t index);
    void Opt_Click(int16_t index) override;
    void Command1_Click(int16_t index);
    void Drive1_Change();
    // The close box: the same as Abbrechen, before and during the run.
    void Form_QueryUnload();

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
    float pixelsToTwipsX(float pixels) const override;
    float pixelsToTwipsY(float pixels) const override;

    // What the copy run reads and sets.
    bool optValue(int index) const override;
    int chkValue(int index) const override;
    std::string dir1Path() const override;
    std::string zahlText() const override;
    int unitListIndex() const override;
    void setPbarValue(float percent) override;

    // The controls by name and index.
    QGroupBox* frame1() const { return frame1_; }
    QFrame* frame2(int index) const { return frame2_.at(static_cast<std::size_t>(index)); }
    QComboBox* unitList() const { return unitList_; }
    QLineEdit* zahlTextBox() const { return zahlText_; }
    QCheckBox* chk(int index) const { return chk_.at(static_cast<std::size_t>(index)); }
    QRadioButton* opt(int index) const { return opt_.at(static_cast<std::size_t>(index)); }
    DirList* dir1() const { return dir1_; }
    DriveList* drive1() const { return drive1_; }
    QLabel* label1() const { return label1_; }
    QLabel* tip(int index) const { return tip_.at(static_cast<std::size_t>(index)); }
    QLabel* image1(int index) const { return image1_.at(static_cast<std::size_t>(index)); }
    QPushButton* command1(int index) const { return command1_.at(static_cast<std::size_t>(index)); }
    QProgressBar* pbar() const { return pbar_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void placeControls();
    static bool captionFits(const QWidget* control);
    // Each places its control for the window's current font and says whether it fits.
    bool arrangeForFont();
    bool fitWidth(QWidget* control, int rightTwips);
    bool fitLabel1();
    bool fitTip(int index);
    void arrangeTabOrder();
    void showStartDirectory();
    void connectEvents();
    TwipsScale scale() const;

    void startRun();
    void cancel();

    rt::Runtime& runtime_;
    SourceSelection& source_;

    QGroupBox* frame1_ = nullptr;
    std::array<QFrame*, 4> frame2_{};
    QComboBox* unitList_ = nullptr;
    QLineEdit* zahlText_ = nullptr;
    std::array<QCheckBox*, 3> chk_{};
    std::array<QRadioButton*, 2> opt_{};
    DirList* dir1_ = nullptr;
    DriveList* drive1_ = nullptr;
    QLabel* label1_ = nullptr;
    std::array<QLabel*, 5> tip_{};
    std::array<QLabel*, 5> image1_{};
    std::array<QPushButton*, 3> command1_{};
    QProgressBar* pbar_ = nullptr;
};
