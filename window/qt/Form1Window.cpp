// Form1: building the window in its design state, and the operations that the load handler
// and the copy run use on its controls.
#include "Form1Window.h"

#include "DirList.h"
#include "Pictures.h"
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
#include <span>

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString indexed(const char* name, int index) {
    return text(name) + u'(' + QString::number(index) + u')';
}

// Below this a smaller font would no longer be readable; the text is then left to wrap as
// best it can.
constexpr double kSmallestPointSize = 6.5;

// Labels show file names; plain text keeps a name such as "<b>.zip" from being read as markup.
QLabel* plainLabel(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QRect toQRect(const PixelRect& box) {
    return {box.x, box.y, box.width, box.height};
}

} // namespace

// What the caption rules need to know of Qt's controls: their size hints and field widths for
// the font the window uses.
class Form1Window::QtCaptionMeasure final : public form_layout::CaptionMeasure {
public:
    explicit QtCaptionMeasure(Form1Window& window) : window_(window) {}

    void useFont(double pointSize) override {
        QFont font = QApplication::font();
        font.setPointSizeF(pointSize);
        window_.setFont(font);
    }

    int neededWidth(const char* name) const override {
        const auto* control = window_.findChild<const QWidget*>(text(name));
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

    Form1Window& window_;
};

Form1Window::Form1Window(Form1& form, QWidget* parent) : QWidget(parent), form_(form) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromStdString(form_.caption()));
    // A fixed dialog frame with a close box but neither minimise nor maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(pictures::windowIcon());

    createControls();
    placeControls();
    if (const QScreen* const screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
    arrangeTabOrder();
    form_.setDotsPerInch(logicalDpiX(), logicalDpiY());
    showValues();
    showVisibility();
    showEnabled();
    showDrive();
    dir1_->show(form_.dir1());
    connectEvents();
    form_.setObserver([this](FormPart part, int index) { formChanged(part, index); });
    command1_[0]->setFocus();
}

TwipsScale Form1Window::scale() const {
    return TwipsScale(logicalDpiX(), logicalDpiY());
}

void Form1Window::createControls() {
    // In the order of the window's definition, which is also the stacking order.
    frame1_ = new QGroupBox(text(form_layout::kFrame1Caption), this);
    frame1_->setObjectName(QStringLiteral("Frame1(1)"));
    QWidget* const frame = frame1_;

    unitList_ = new QComboBox(frame);
    unitList_->setObjectName(QStringLiteral("UnitList"));
    unitList_->setEditable(false);

    zahlText_ = new QLineEdit(text("Text1"), frame);
    zahlText_->setObjectName(QStringLiteral("ZahlText"));
    zahlText_->setMaxLength(5);

    auto makeChk = [&](int index) {
        auto* box = new QCheckBox(text(form_layout::kChkCaptions[index]), frame);
        box->setObjectName(indexed("Chk", index));
        chk_.at(static_cast<std::size_t>(index)) = box;
    };
    auto makeBar = [&](int index) {
        auto* bar = new QFrame(frame);
        bar->setObjectName(indexed("Frame2", index));
        bar->setFrameShape(QFrame::HLine);
        bar->setFrameShadow(QFrame::Sunken);
        frame2_.at(static_cast<std::size_t>(index)) = bar;
    };
    auto makeOpt = [&](int index) {
        auto* option = new QRadioButton(text(form_layout::kOptCaptions[index]), frame);
        option->setObjectName(indexed("Opt", index));
        opt_.at(static_cast<std::size_t>(index)) = option;
    };
    auto makeTip = [&](int index) {
        QLabel* label = plainLabel(QString::fromStdString(form_.tipCaption(index)), frame);
        label->setObjectName(indexed("Tip", index));
        label->setWordWrap(true);
        tip_.at(static_cast<std::size_t>(index)) = label;
    };
    const QPixmap ball = pictures::ball();
    auto makeImage = [&](int index) {
        auto* image = new QLabel(frame);
        image->setObjectName(indexed("Image1", index));
        image->setPixmap(ball);
        image->setScaledContents(true);
        image1_.at(static_cast<std::size_t>(index)) = image;
    };

    makeChk(2);
    makeBar(3);
    dir1_ = new DirList([this](const std::string& path) { return form_.openFolder(path); }, frame);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    drive1_ = new QComboBox(frame);
    for (const Form1::DriveItem& item : form_.drive1Items()) {
        drive1_->addItem(QString::fromStdString(item.designation));
    }
    drive1_->setObjectName(QStringLiteral("Drive1"));
    makeChk(1);
    makeBar(2);
    makeBar(1);
    makeOpt(1);
    makeChk(0);
    makeOpt(0);
    makeBar(0);
    label1_ = plainLabel(text(form_layout::kLabel1Caption), frame);
    label1_->setObjectName(QStringLiteral("Label1"));
    makeImage(4);
    makeTip(4);
    makeTip(3);
    makeImage(3);
    makeImage(2);
    makeTip(2);
    makeTip(0);
    makeTip(1);
    makeImage(0);
    makeImage(1);

    opt_[1]->setFocusPolicy(Qt::ClickFocus);

    auto makeCommand = [&](int index) {
        auto* button = new QPushButton(text(form_layout::kCommandCaptions[index]), this);
        button->setObjectName(indexed("Command1", index));
        // Enter presses the button that has the focus; no button is the window's default.
        button->setAutoDefault(true);
        command1_.at(static_cast<std::size_t>(index)) = button;
    };
    makeCommand(1);
    makeCommand(2);
    makeCommand(0);

    pbar_ = new QProgressBar(this);
    pbar_->setObjectName(QStringLiteral("pbar"));
    pbar_->setRange(0, 100);
    pbar_->setValue(0);
    // The classic progress bar shows no percentage.
    pbar_->setTextVisible(false);
}

void Form1Window::placeControls() {
    QtCaptionMeasure measure(*this);
    const form_layout::FittedLayout layout =
        form_layout::fitToFont(measure, scale(), QApplication::font().pointSizeF());
    setFixedSize(layout.clientWidth, layout.clientHeight);
    const std::span<const form_layout::Place> places = form_layout::places();
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (auto* control = findChild<QWidget*>(text(places[i].name))) {
            control->setGeometry(toQRect(layout.rects[i]));
        }
    }
}

void Form1Window::placeTip(int index) {
    const QtCaptionMeasure measure(*this);
    tip(index)->setGeometry(toQRect(form_layout::fitTip(measure, scale(), index)));
}

void Form1Window::arrangeTabOrder() {
    // Labels, frames, images and the progress bar hold places in the numbering but never
    // take the focus, so only the others are chained.
    std::map<int, QWidget*> byTabIndex;
    for (const form_layout::Place& place : form_layout::places()) {
        auto* control = findChild<QWidget*>(text(place.name));
        if (control != nullptr && place.tabIndex >= 0 && control->focusPolicy() != Qt::NoFocus) {
            byTabIndex[place.tabIndex] = control;
        }
    }
    QWidget* previous = nullptr;
    for (const auto& [tabIndex, control] : byTabIndex) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
}

Form1Window::~Form1Window() {
    form_.setObserver({});
}

void Form1Window::connectEvents() {
    // Each control reports what it shows on the signal that fires for every change, not only
    // for the user's clicks and keys: code that sets a control and an accessibility tool (which
    // sets the text, toggles a box or selects an option through the same calls) must reach the
    // form as well, or the run would read a value the window does not show. The program's own
    // updates are shown with the signals blocked; ZahlText's comes back once and changes nothing.
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<int16_t>(i);
        connect(chk_.at(static_cast<std::size_t>(i)), &QCheckBox::toggled, this,
                [this, index](bool ticked) { form_.tickChk(index, ticked ? 1 : 0); });
        connect(command1_.at(static_cast<std::size_t>(i)), &QPushButton::clicked, this,
                [this, index] { form_.Command1_Click(index); });
    }
    for (int i = 0; i < 2; ++i) {
        // The group keeps one option selected; the one that goes clear is the other's echo.
        connect(opt_.at(static_cast<std::size_t>(i)), &QRadioButton::toggled, this, [this, i](bool selected) {
            if (selected) {
                form_.selectOpt(i);
            }
        });
    }
    connect(zahlText_, &QLineEdit::textChanged, this,
            [this](const QString& shown) { form_.typeZahlText(shown.toStdString()); });
    connect(unitList_, &QComboBox::currentIndexChanged, this, [this](int index) { form_.chooseUnit(index); });
    connect(drive1_, &QComboBox::currentIndexChanged, this, [this](int index) { form_.chooseDrive(index); });
}

void Form1Window::closeEvent(QCloseEvent* event) {
    form_.Form_QueryUnload();
    // When that returns, the user chose to go on with the run: the window stays.
    event->ignore();
}

void Form1Window::formChanged(FormPart part, int index) {
    switch (part) {
    case FormPart::Caption:
        setWindowTitle(QString::fromStdString(form_.caption()));
        break;
    case FormPart::Values:
        showValues();
        break;
    case FormPart::Visibility:
        showVisibility();
        break;
    case FormPart::Enabled:
        showEnabled();
        break;
    case FormPart::UnitList:
        showUnitList();
        break;
    case FormPart::Tip:
        tip(index)->setText(QString::fromStdString(form_.tipCaption(index)));
        placeTip(index); // a long name may wrap; the box never grows into the next row
        break;
    case FormPart::Image:
        showImage(index);
        break;
    case FormPart::Progress:
        pbar_->setValue(form_.pbarValue());
        break;
    case FormPart::Drive:
        showDrive();
        break;
    case FormPart::Folder:
        dir1_->show(form_.dir1());
        break;
    }
}

void Form1Window::showValues() {
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker quiet(chk(i));
        chk(i)->setChecked(form_.chkValue(i) != 0);
    }
    for (int i = 0; i < 2; ++i) {
        QRadioButton* const option = opt(i);
        const QSignalBlocker quiet(option);
        option->setChecked(form_.optValue(i));
        // As in every option group, Tab stops only at the selected button; the arrow keys move
        // within the group.
        option->setFocusPolicy(form_.optValue(i) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    // Not blocked: the box keeps five characters of a longer text, and the form must hold
    // those five, which are what the window shows.
    if (zahlText_->text().toStdString() != form_.zahlText()) {
        zahlText_->setText(QString::fromStdString(form_.zahlText()));
    }
    const QSignalBlocker quiet(unitList_);
    unitList_->setCurrentIndex(form_.unitListIndex());
}

void Form1Window::showVisibility() {
    const std::pair<QWidget*, Control> shown[] = {{label1_, Control::Label1},
                                                  {zahlText_, Control::ZahlText},
                                                  {unitList_, Control::UnitList},
                                                  {drive1_, Control::Drive1},
                                                  {dir1_, Control::Dir1}};
    for (const auto& [control, name] : shown) {
        control->setVisible(form_.visible(name));
    }
}

void Form1Window::showEnabled() {
    const std::pair<QWidget*, Control> enabled[] = {{command1_[0], Control::Command1Ok},
                                                    {drive1_, Control::Drive1},
                                                    {dir1_, Control::Dir1},
                                                    {zahlText_, Control::ZahlText},
                                                    {unitList_, Control::UnitList},
                                                    {chk_[0], Control::Chk0},
                                                    {chk_[1], Control::Chk1},
                                                    {chk_[2], Control::Chk2},
                                                    {opt_[0], Control::Opt0},
                                                    {opt_[1], Control::Opt1}};
    for (const auto& [control, name] : enabled) {
        control->setEnabled(form_.enabled(name));
    }
}

void Form1Window::showUnitList() {
    {
        const QSignalBlocker quiet(unitList_);
        const std::vector<std::string>& items = form_.unitListItems();
        for (auto i = static_cast<std::size_t>(unitList_->count()); i < items.size(); ++i) {
            unitList_->addItem(QString::fromStdString(items[i]));
        }
        unitList_->setCurrentIndex(form_.unitListIndex());
    }
    // The entries arrive after the window was laid out; a wider entry may need a wider box or
    // a smaller font.
    placeControls();
}

void Form1Window::showImage(int index) {
    QLabel* const image = image1(index);
    const Form1::ImageSize size = form_.image1Size(index);
    const TwipsScale twips = scale();
    image->resize(size.width > 0 ? twips.toPixelsX(size.width) : image->width(),
                  size.height > 0 ? twips.toPixelsY(size.height) : image->height());
}

void Form1Window::showDrive() {
    const QSignalBlocker quiet(drive1_);
    drive1_->setCurrentIndex(form_.drive1Index());
}
