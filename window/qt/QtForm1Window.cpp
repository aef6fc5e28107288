// Form1 on Linux: building the window from the form's table, and showing what the load handler
// and the copy run put into the form.
#include "QtForm1Window.h"

#include "DirList.h"
#include "QtPictures.h"
#include "form/FontFit.h"
#include "form/FormLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include <algorithm>
#include <map>

namespace qtface {

namespace {

using form::ControlId;
using form::ControlKind;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Labels show file names; plain text keeps a name such as "<b>.zip" from being read as markup.
QLabel* plainLabel(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QRect toQRect(const form::PixelRect& box) {
    return {box.x, box.y, box.width, box.height};
}

} // namespace

// What the caption rules need to know of Qt's controls: their size hints and field widths for
// the font the window uses.
class QtForm1Window::QtCaptionMeasure final : public form::CaptionMeasure {
public:
    explicit QtCaptionMeasure(QtForm1Window& window) : window_(window) {}

    void useFont(double pointSize) override {
        QFont font = QApplication::font();
        font.setPointSizeF(pointSize);
        window_.setFont(font);
    }

    int neededWidth(form::ControlId id) const override {
        const QWidget* control = window_.control(id);
        if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
            return digitsWidth(*edit);
        }
        const auto* list = qobject_cast<const QComboBox*>(control);
        if (list == nullptr) {
            return control->sizeHint().width();
        }
        // A drop-down list shows its entry in the field left of the arrow.
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        const QRect field =
            list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        int widest = 0;
        for (int i = 0; i < list->count(); ++i) {
            widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->itemText(i)));
        }
        return widest + list->width() - field.width();
    }

    int tipHeight(int index, int width) const override { return window_.tip(index)->heightForWidth(width); }

private:
    // Five of the widest digit in the field a line edit leaves for its text: inside its frame
    // and text margins, the two pixels QLineEdit keeps on either side, and the caret.
    static int digitsWidth(const QLineEdit& edit) {
        constexpr int kLineEditSideMargin = 2;
        int widest = 0;
        for (char digit = '0'; digit <= '9'; ++digit) {
            widest = std::max(widest, edit.fontMetrics().horizontalAdvance(QLatin1Char(digit)));
        }
        QStyleOptionFrame option;
        option.initFrom(&edit);
        option.lineWidth =
            edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
        const QRect field = edit.style()
                                ->subElementRect(QStyle::SE_LineEditContents, &option, &edit)
                                .marginsRemoved(edit.textMargins());
        return 5 * widest + edit.width() - field.width() + 2 * kLineEditSideMargin +
               edit.style()->pixelMetric(QStyle::PM_TextCursorWidth, &option, &edit);
    }

    QtForm1Window& window_;
};

QtForm1Window::QtForm1Window(form::Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromStdString(form_.caption()));
    // A fixed dialog frame with a close box but neither minimise nor maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(programIcon());

    // In the order of the table, which is also the stacking order; the frame comes first.
    for (const form::Control& row : form::controls()) {
        controls_[form::slot(row.id)] = createControl(row, controls_[form::slot(ControlId::Frame1)]);
    }
    placeControls();
    if (const QScreen* const screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
    arrangeTabOrder();
    form_.setDotsPerInch(logicalDpiX(), logicalDpiY());
    for (const form::Control& row : form::controls()) {
        showValue(row.id);
        showState(row.id);
    }
    connectEvents();
    form_.setFace(this);
    command1(0)->setFocus();
}

QtForm1Window::~QtForm1Window() {
    form_.setFace(nullptr);
}

template <class T> T* QtForm1Window::as(ControlId id) const {
    return static_cast<T*>(control(id));
}

QComboBox* QtForm1Window::unitList() const {
    return as<QComboBox>(ControlId::UnitList);
}
QLineEdit* QtForm1Window::zahlTextBox() const {
    return as<QLineEdit>(ControlId::ZahlText);
}
QCheckBox* QtForm1Window::chk(int index) const {
    return as<QCheckBox>(form::chk(index));
}
QRadioButton* QtForm1Window::opt(int index) const {
    return as<QRadioButton>(form::opt(index));
}
DirList* QtForm1Window::dir1() const {
    return as<DirList>(ControlId::Dir1);
}
QComboBox* QtForm1Window::drive1() const {
    return as<QComboBox>(ControlId::Drive1);
}
QLabel* QtForm1Window::label1() const {
    return as<QLabel>(ControlId::Label1);
}
QLabel* QtForm1Window::tip(int index) const {
    return as<QLabel>(form::tip(index));
}
QLabel* QtForm1Window::image1(int index) const {
    return as<QLabel>(form::image1(index));
}
QPushButton* QtForm1Window::command1(int index) const {
    return as<QPushButton>(form::command1(index));
}
QProgressBar* QtForm1Window::pbar() const {
    return as<QProgressBar>(ControlId::Pbar);
}

form::TwipsScale QtForm1Window::scale() const {
    return form::TwipsScale(logicalDpiX(), logicalDpiY());
}

QWidget* QtForm1Window::createControl(const form::Control& row, QWidget* frame) {
    QWidget* const parent = form::insideFrame1(row.id) ? frame : this;
    const QString caption = text(row.caption);
    const int index = form::arrayIndex(row.id);
    QWidget* made = nullptr;
    switch (row.kind) {
    case ControlKind::Frame:
        made = new QGroupBox(caption, parent);
        break;
    case ControlKind::Bar: {
        auto* bar = new QFrame(parent);
        bar->setFrameShape(QFrame::HLine);
        bar->setFrameShadow(QFrame::Sunken);
        made = bar;
        break;
    }
    case ControlKind::Question: {
        QLabel* label = plainLabel(QString::fromStdString(form_.tipCaption(index)), parent);
        label->setWordWrap(true);
        made = label;
        break;
    }
    case ControlKind::Label:
        made = plainLabel(caption, parent);
        break;
    case ControlKind::Picture: {
        auto* image = new QLabel(parent);
        image->setPixmap(ballPicture());
        image->setScaledContents(true);
        made = image;
        break;
    }
    case ControlKind::CheckBox:
        made = new QCheckBox(caption, parent);
        break;
    case ControlKind::OptionButton:
        made = new QRadioButton(caption, parent);
        break;
    case ControlKind::PushButton: {
        auto* button = new QPushButton(caption, parent);
        // Enter presses the button that has the focus; no button is the window's default.
        button->setAutoDefault(true);
        made = button;
        break;
    }
    case ControlKind::NumberBox: {
        auto* edit = new QLineEdit(caption, parent);
        edit->setMaxLength(5);
        made = edit;
        break;
    }
    case ControlKind::DropDownList: {
        auto* list = new QComboBox(parent);
        list->setEditable(false);
        if (row.id == ControlId::Drive1) {
            for (const form::Form1::DriveItem& item : form_.drive1Items()) {
                list->addItem(QString::fromStdString(item.designation));
            }
        }
        made = list;
        break;
    }
    case ControlKind::FolderList:
        made = new DirList([this](const std::string& path) { return form_.openFolder(path); }, parent);
        break;
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        // The classic progress bar shows no percentage.
        bar->setTextVisible(false);
        made = bar;
        break;
    }
    }
    made->setObjectName(text(row.name));
    return made;
}

void QtForm1Window::placeControls() {
    QtCaptionMeasure measure(*this);
    const form::FittedLayout layout = form::fitToFont(measure, scale(), QApplication::font().pointSizeF());
    setFixedSize(layout.clientWidth, layout.clientHeight);
    for (const form::Control& row : form::controls()) {
        control(row.id)->setGeometry(toQRect(layout.rectOf(row.id)));
    }
}

void QtForm1Window::placeTip(int index) {
    const QtCaptionMeasure measure(*this);
    tip(index)->setGeometry(toQRect(form::fitTip(measure, scale(), index)));
}

void QtForm1Window::arrangeTabOrder() {
    // Labels, frames, images and the progress bar hold places in the numbering but never
    // take the focus, so only the others are chained.
    std::map<int, QWidget*> byTabIndex;
    for (const form::Control& row : form::controls()) {
        QWidget* const widget = control(row.id);
        if (row.tabIndex >= 0 && widget->focusPolicy() != Qt::NoFocus) {
            byTabIndex[row.tabIndex] = widget;
        }
    }
    QWidget* previous = nullptr;
    for (const auto& [tabIndex, widget] : byTabIndex) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

void QtForm1Window::connectEvents() {
    // Each control reports what it shows on the signal that fires for every change, not only
    // for the user's clicks and keys: code that sets a control and an accessibility tool (which
    // sets the text, toggles a box or selects an option through the same calls) must reach the
    // form as well, or the run would read a value the window does not show. The program's own
    // updates are shown with the signals blocked; ZahlText's comes back once and changes nothing.
    for (const form::Control& row : form::controls()) {
        const int index = form::arrayIndex(row.id);
        switch (row.kind) {
        case ControlKind::CheckBox:
            connect(as<QCheckBox>(row.id), &QCheckBox::toggled, this,
                    [this, index](bool ticked) { form_.tickChk(index, ticked ? 1 : 0); });
            break;
        case ControlKind::PushButton:
            connect(as<QPushButton>(row.id), &QPushButton::clicked, this,
                    [this, index] { form_.Command1_Click(static_cast<int16_t>(index)); });
            break;
        case ControlKind::OptionButton:
            // The group keeps one option selected; the one that goes clear is the other's echo.
            connect(as<QRadioButton>(row.id), &QRadioButton::toggled, this, [this, index](bool selected) {
                if (selected) {
                    form_.selectOpt(index);
                }
            });
            break;
        case ControlKind::NumberBox:
            connect(as<QLineEdit>(row.id), &QLineEdit::textChanged, this,
                    [this](const QString& shown) { form_.typeZahlText(shown.toStdString()); });
            break;
        case ControlKind::DropDownList:
            connect(as<QComboBox>(row.id), &QComboBox::currentIndexChanged, this, [this, id = row.id](int chosen) {
                id == ControlId::UnitList ? form_.chooseUnit(chosen) : form_.chooseDrive(chosen);
            });
            break;
        default:
            break;
        }
    }
}

void QtForm1Window::closeEvent(QCloseEvent* event) {
    form_.Form_QueryUnload();
    // When that returns, the user chose to go on with the run: the window stays.
    event->ignore();
}

void QtForm1Window::showCaption() {
    setWindowTitle(QString::fromStdString(form_.caption()));
}

void QtForm1Window::showControl(ControlId id) {
    showValue(id);
    showState(id);
}

void QtForm1Window::showState(ControlId id) {
    // Only a change is applied: an explicit show before the window is up is no state of the form.
    QWidget* const widget = control(id);
    if (widget->isVisibleTo(this) != form_.visible(id)) {
        widget->setVisible(form_.visible(id));
    }
    if (widget->isEnabled() != form_.enabled(id)) {
        widget->setEnabled(form_.enabled(id));
    }
}

void QtForm1Window::showValue(ControlId id) {
    const int index = form::arrayIndex(id);
    switch (form::control(id).kind) {
    case ControlKind::CheckBox: {
        const QSignalBlocker quiet(control(id));
        chk(index)->setChecked(form_.chkValue(index) != 0);
        break;
    }
    case ControlKind::OptionButton:
        // Both, in order: a selected option cannot be cleared, only replaced by the other.
        for (int i = 0; i < 2; ++i) {
            QRadioButton* const option = opt(i);
            const QSignalBlocker quiet(option);
            option->setChecked(form_.optValue(i));
            // As in every option group, Tab stops only at the selected button; the arrow keys move
            // within the group.
            option->setFocusPolicy(form_.optValue(i) ? Qt::StrongFocus : Qt::ClickFocus);
        }
        break;
    case ControlKind::NumberBox:
        // Not blocked: the box keeps five characters of a longer text, and the form must hold
        // those five, which are what the window shows.
        if (zahlTextBox()->text().toStdString() != form_.zahlText()) {
            zahlTextBox()->setText(QString::fromStdString(form_.zahlText()));
        }
        break;
    case ControlKind::DropDownList:
        if (id == ControlId::UnitList) {
            showUnitList();
        } else {
            const QSignalBlocker quiet(drive1());
            drive1()->setCurrentIndex(form_.drive1Index());
        }
        break;
    case ControlKind::FolderList:
        dir1()->show(form_.dir1());
        break;
    case ControlKind::Question:
        tip(index)->setText(QString::fromStdString(form_.tipCaption(index)));
        placeTip(index); // a long name may wrap; the box never grows into the next row
        break;
    case ControlKind::Picture:
        showImage(index);
        break;
    case ControlKind::ProgressBar:
        pbar()->setValue(form_.pbarValue());
        break;
    default:
        break;
    }
}

void QtForm1Window::showUnitList() {
    QComboBox* const list = unitList();
    const std::vector<std::string>& items = form_.unitListItems();
    const bool added = static_cast<std::size_t>(list->count()) < items.size();
    {
        const QSignalBlocker quiet(list);
        for (auto i = static_cast<std::size_t>(list->count()); i < items.size(); ++i) {
            list->addItem(QString::fromStdString(items[i]));
        }
        list->setCurrentIndex(form_.unitListIndex());
    }
    // The entries arrive after the window was laid out; a wider entry may need a wider box or
    // a smaller font.
    if (added) {
        placeControls();
    }
}

void QtForm1Window::showImage(int index) {
    QLabel* const image = image1(index);
    const form::Form1::ImageSize size = form_.image1Size(index);
    const form::TwipsScale twips = scale();
    image->resize(size.width > 0 ? twips.toPixelsX(size.width) : image->width(),
                  size.height > 0 ? twips.toPixelsY(size.height) : image->height());
}

} // namespace qtface
