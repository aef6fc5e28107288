// The Qt face of Form1: it creates the controls, places them from the form's layout table for
// the font in use, forwards what the user does to the form and shows what the form holds.
#pragma once

#include "form/Form1.h"
#include "form/TwipsScale.h"

#include <QWidget>

#include <array>

class DirList;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

class Form1Window : public QWidget {
    Q_OBJECT
public:
    explicit Form1Window(Form1& form, QWidget* parent = nullptr);
    ~Form1Window() override;

    Form1& form() const { return form_; }

    // The controls by name and index.
    QGroupBox* frame1() const { return frame1_; }
    QFrame* frame2(int index) const { return frame2_.at(static_cast<std::size_t>(index)); }
    QComboBox* unitList() const { return unitList_; }
    QLineEdit* zahlTextBox() const { return zahlText_; }
    QCheckBox* chk(int index) const { return chk_.at(static_cast<std::size_t>(index)); }
    QRadioButton* opt(int index) const { return opt_.at(static_cast<std::size_t>(index)); }
    DirList* dir1() const { return dir1_; }
    QComboBox* drive1() const { return drive1_; }
    QLabel* label1() const { return label1_; }
    QLabel* tip(int index) const { return tip_.at(static_cast<std::size_t>(index)); }
    QLabel* image1(int index) const { return image1_.at(static_cast<std::size_t>(index)); }
    QPushButton* command1(int index) const { return command1_.at(static_cast<std::size_t>(index)); }
    QProgressBar* pbar() const { return pbar_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class QtCaptionMeasure;

    void formChanged(FormPart part, int index);

    void createControls();
    // Places every control for the desktop's font, or a smaller one where captions need it.
    void placeControls();
    void placeTip(int index);
    void arrangeTabOrder();
    void connectEvents();
    TwipsScale scale() const;

    void showValues();
    void showVisibility();
    void showEnabled();
    void showUnitList();
    void showImage(int index);
    void showDrive();

    Form1& form_;

    QGroupBox* frame1_ = nullptr;
    std::array<QFrame*, 4> frame2_{};
    QComboBox* unitList_ = nullptr;
    QLineEdit* zahlText_ = nullptr;
    std::array<QCheckBox*, 3> chk_{};
    std::array<QRadioButton*, 2> opt_{};
    DirList* dir1_ = nullptr;
    QComboBox* drive1_ = nullptr;
    QLabel* label1_ = nullptr;
    std::array<QLabel*, 5> tip_{};
    std::array<QLabel*, 5> image1_{};
    std::array<QPushButton*, 3> command1_{};
    QProgressBar* pbar_ = nullptr;
};
