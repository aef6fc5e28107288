// The Qt face of Form1: it creates the controls from the form's table, places them for the font
// in use, forwards what the user does to the form and shows what the form holds.
#pragma once

#include "form/Form1.h"
#include "form/TwipsScale.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace qtface {

class DirList;

class QtForm1Window : public QWidget, private form::Face {
    Q_OBJECT
public:
    explicit QtForm1Window(form::Form1& form, QWidget* parent = nullptr);
    ~QtForm1Window() override;

    form::Form1& form() const { return form_; }

    QWidget* control(form::ControlId id) const { return controls_[form::slot(id)]; }
    // The controls by name and index.
    QComboBox* unitList() const;
    QLineEdit* zahlTextBox() const;
    QCheckBox* chk(int index) const;
    QRadioButton* opt(int index) const;
    DirList* dir1() const;
    QComboBox* drive1() const;
    QLabel* label1() const;
    QLabel* tip(int index) const;
    QLabel* image1(int index) const;
    QPushButton* command1(int index) const;
    QProgressBar* pbar() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class QtCaptionMeasure;

    template <class T> T* as(form::ControlId id) const;

    void showCaption() override;
    void showControl(form::ControlId id) override;
    void showValue(form::ControlId id);
    void showState(form::ControlId id);

    QWidget* createControl(const form::Control& row, QWidget* frame);
    // Places every control for the desktop's font, or a smaller one where captions need it.
    void placeControls();
    void placeTip(int index);
    void arrangeTabOrder();
    void connectEvents();
    form::TwipsScale scale() const;

    void showUnitList();
    void showImage(int index);

    form::Form1& form_;
    std::array<QWidget*, form::kControlCount> controls_{};
};

} // namespace qtface
