// Form1: building the window in its design state, and the operations that the load handler
// and the copy run use on its controls.
#include "Form1.h"

#include <QApplication>

#include "DirList.h"
#include "DriveList.h"
#include "FormLayout.h"
#include "Pictures.h"
#include "TwipsScale.h"
#include "runtime/Runtime.h"

#include <QAbstractButton>
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
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <system_error>

namespace {

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString indexed(const char* name, int index) {
    return text(name) + u'(' + QString::number(index) + u')';
}

// The questions and the sample sentence that the load handler replaces.
constexpr const char* kTipTexts[5] = {
    "Sie haben die Datei \"Kapitel_1_bis_6.PAK\" zur Sicherung mit Splitwerk für Windows ausgewählt. "
    "Dafür benötigen Sie ungefähr 5 Disketten mit einer Kapazität von 1,44 MByte.",
    "Wohin soll die Sicherung erfolgen?",
    "Möchten Sie die max. Größe der Teilarchive selbst festlegen?",
    "Soll das Archiv mit der AutoRun- Funktion versehen werden? (Muß vom Ziel-PC unterstützt werden)",
    "Soll das (Haupt-)Verzeichnis des Ziels zuvor gelöscht werden?",
};

constexpr const char* kChkCaptions[3] = {"&Ja", "Ja, Auto-&Run-Datei anlegen", "Ja, &löschen"};
constexpr const char* kOptCaptions[2] = {"Auf &Diskette in Laufwerk A:", "Anderes &Ziel festlegen ..."};
constexpr const char* kCommandCaptions[3] = {"&OK", "&Abbrechen", "&Info"};

// How far each question may grow when the font in use needs more room than the design gave
// it: to the right up to the answer column (the sentence of the first row up to the frame's
// edge), down to whatever stands below it. Twips, inside the frame.
struct TipRoom {
    int right;
    int bottom;
};
constexpr TipRoom kTipRooms[5] = {{6225, 1020}, {2880, 1752}, {2880, 3240}, {2880, 5040}, {2880, 3960}};

// How far a one-line control may grow to the right, in twips inside the frame: the option
// buttons up to the answer column, the rest up to the frame's edge.
struct WidthRoom {
    const char* name;
    int right;
};
constexpr int kUnitListRight = 6285;
constexpr WidthRoom kWidthRooms[] = {{"Opt(0)", 2880}, {"Opt(1)", 2880}, {"Chk(0)", 3600},
                                     {"Chk(1)", 6225}, {"Chk(2)", 6225}, {"UnitList", kUnitListRight}};

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

} // namespace

Form1::Form1(rt::Runtime& runtime, SourceSelection& source, QWidget* parent)
    : QWidget(parent), runtime_(runtime), source_(source) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text("Splitwerk für Windows"));
    // A fixed dialog frame with a close box but neither minimise nor maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(pictures::windowIcon());

    createControls();
    placeControls();
    arrangeTabOrder();
    showStartDirectory();
    connectEvents();
    command1_[0]->setFocus();
}

TwipsScale Form1::scale() const {
    return TwipsScale(logicalDpiX(), logicalDpiY());
}

void Form1::createControls() {
    // In the order of the window's definition, which is also the stacking order.
    frame1_ = new QGroupBox(text("Sicherungsoptionen"), this);
    frame1_->setObjectName(QStringLiteral("Frame1(1)"));
    QWidget* const frame = frame1_;

    unitList_ = new QComboBox(frame);
    unitList_->setObjectName(QStringLiteral("UnitList"));
    unitList_->setEditable(false);

    zahlText_ = new QLineEdit(text("Text1"), frame);
    zahlText_->setObjectName(QStringLiteral("ZahlText"));
    zahlText_->setMaxLength(5);

    auto makeChk = [&](int index) {
        auto* box = new QCheckBox(text(kChkCaptions[index]), frame);
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
        auto* option = new QRadioButton(text(kOptCaptions[index]), frame);
        option->setObjectName(indexed("Opt", index));
        opt_.at(static_cast<std::size_t>(index)) = option;
    };
    auto makeTip = [&](int index) {
        QLabel* label = plainLabel(text(kTipTexts[index]), frame);
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
    dir1_ = new DirList(runtime_.drives(), frame);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    drive1_ = new DriveList(runtime_.drives(), frame);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    makeChk(1);
    makeBar(2);
    makeBar(1);
    makeOpt(1);
    makeChk(0);
    makeOpt(0);
    makeBar(0);
    label1_ = plainLabel(text("- und zwar auf "), frame);
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

    opt_[0]->setChecked(true);
    opt_[1]->setFocusPolicy(Qt::ClickFocus);

    auto makeCommand = [&](int index) {
        auto* button = new QPushButton(text(kCommandCaptions[index]), this);
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

void Form1::placeControls() {
    // The design was drawn for a smaller font than many desktops use. A caption never gets
    // cut: its box grows to the right as far as the next control, and where even that is
    // too little, the whole window takes a smaller font, one size for every control, so the
    // rows keep one look.
    QFont font = QApplication::font();
    setFont(font);
    while (!arrangeForFont() && font.pointSizeF() - 0.5 >= kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        setFont(font);
    }

    if (const QScreen* const screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
}

bool Form1::arrangeForFont() {
    const TwipsScale twips = scale();
    setFixedSize(twips.toPixelsX(form_layout::kClientWidth), twips.toPixelsY(form_layout::kClientHeight));
    for (const form_layout::Place& place : form_layout::places()) {
        auto* control = findChild<QWidget*>(text(place.name));
        if (control != nullptr) {
            control->setGeometry(twips.toPixels(place.left, place.top, place.width, place.height));
        }
    }
    bool fits = true;
    for (const WidthRoom& room : kWidthRooms) {
        fits = fitWidth(findChild<QWidget*>(text(room.name)), room.right) && fits;
    }
    fits = fitLabel1() && fits;
    for (int i = 0; i < 5; ++i) {
        fits = fitTip(i) && fits;
    }
    return fits;
}

bool Form1::fitWidth(QWidget* control, int rightTwips) {
    if (control == nullptr || captionFits(control)) {
        return true;
    }
    const int room = scale().toPixelsX(rightTwips) - control->x();
    control->resize(std::min(control->sizeHint().width(), room), control->height());
    return captionFits(control);
}

bool Form1::captionFits(const QWidget* control) {
    if (const auto* list = qobject_cast<const QComboBox*>(control)) {
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
        return widest <= field.width();
    }
    return control->sizeHint().width() <= control->width();
}

bool Form1::fitLabel1() {
    // "- und zwar auf " keeps its one line and leads up to the number box: the box takes the
    // width of its text and, when that is wider than the design, moves left towards "Ja".
    const form_layout::Place* const place = form_layout::placeOf("Label1");
    const TwipsScale twips = scale();
    const QRect design = twips.toPixels(place->left, place->top, place->width, place->height);
    const int gap = twips.toPixelsX(30);
    const int leftmost = chk_[0]->x() + chk_[0]->sizeHint().width() + gap;
    const int rightmost = zahlText_->x() - gap;
    const int width = label1_->sizeHint().width();
    const int left = std::max(leftmost, std::min(design.x(), rightmost - width));
    label1_->setGeometry(left, design.y(), width, design.height());
    return width <= rightmost - leftmost;
}

bool Form1::fitTip(int index) {
    QLabel* const label = tip(index);
    const form_layout::Place* const place = form_layout::placeOf(label->objectName().toUtf8().constData());
    if (place == nullptr) {
        return true;
    }
    const TwipsScale twips = scale();
    const TipRoom& room = kTipRooms[index];
    const QRect design = twips.toPixels(place->left, place->top, place->width, place->height);
    const int roomHeight = twips.toPixelsY(room.bottom) - design.y();

    int width = design.width();
    if (label->heightForWidth(width) > design.height()) {
        width = std::max(width, twips.toPixelsX(room.right) - design.x());
    }
    const int needed = label->heightForWidth(width);
    // A box never reaches into the next row, so the overlapping design boxes of the third
    // and fourth questions no longer overlap.
    const int height = std::min(std::max(design.height(), needed), roomHeight);
    label->setGeometry(design.x(), design.y(), width, height);
    return needed <= roomHeight;
}

void Form1::arrangeTabOrder() {
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

void Form1::showStartDirectory() {
    // Like the classic lists: the drive and directory the program was started in.
    std::error_code error;
    const std::filesystem::path working = std::filesystem::current_path(error);
    // A folder whose name holds a backslash has no drive-letter form; its translation would name
    // another folder, so the lists start as if outside every drive.
    const bool expressible = !error && rt::DriveMap::canExpress(working.string());
    const std::string start = expressible ? runtime_.drives().fromNative(working.string()) : std::string();
    try {
        drive1_->setDriveFromPath(start);
        dir1_->setPath(start);
        return;
    } catch (const rt::RuntimeError&) {
        // The working directory lies on no drive of the map, or cannot be read.
    }
    try {
        dir1_->setPath(drive1_->drive());
    } catch (const rt::RuntimeError&) {
        // The first drive is not ready either; the list stays empty until one is chosen.
    }
}

void Form1::connectEvents() {
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<int16_t>(i);
        // A change of the value, by the user or by the program, counts as a click.
        connect(chk_.at(static_cast<std::size_t>(i)), &QCheckBox::toggled, this, [this, index] { Chk_Click(index); });
        connect(command1_.at(static_cast<std::size_t>(i)), &QPushButton::clicked, this,
                [this, index] { Command1_Click(index); });
    }
    for (int i = 0; i < 2; ++i) {
        const auto index = static_cast<int16_t>(i);
        QRadioButton* const option = opt_.at(static_cast<std::size_t>(i));
        connect(option, &QRadioButton::toggled, this, [this, option, index](bool selected) {
            // As in every option group, Tab stops only at the selected button; the arrow
            // keys move within the group.
            option->setFocusPolicy(selected ? Qt::StrongFocus : Qt::ClickFocus);
            if (selected) {
                Opt_Click(index);
            }
        });
    }
    connect(drive1_, &DriveList::driveChanged, this, [this] { Drive1_Change(); });
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    // When that returns, the user chose to go on with the run: the window stays.
    event->ignore();
}

void Form1::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void Form1::unitListAddItem(const std::string& item) {
    unitList_->addItem(QString::fromStdString(item));
    // The entries arrive after the window was laid out; a wider entry may need a smaller font.
    if (!fitWidth(unitList_, kUnitListRight)) {
        placeControls();
    }
}

void Form1::setUnitListIndex(int index) {
    unitList_->setCurrentIndex(index);
}

void Form1::setZahlText(const std::string& value) {
    zahlText_->setText(QString::fromStdString(value));
}

void Form1::setChkValue(int index, int value) {
    chk(index)->setChecked(value != 0);
}

void Form1::setLabel1Visible(bool visible) {
    label1_->setVisible(visible);
}

void Form1::setZahlTextVisible(bool visible) {
    zahlText_->setVisible(visible);
}

void Form1::setUnitListVisible(bool visible) {
    unitList_->setVisible(visible);
}

void Form1::setImage1Width(int index, float twips) {
    QLabel* const image = image1(index);
    image->resize(scale().toPixelsX(twips), image->height());
}

void Form1::setImage1Height(int index, float twips) {
    QLabel* const image = image1(index);
    image->resize(image->width(), scale().toPixelsY(twips));
}

void Form1::setTipCaption(int index, const std::string& caption) {
    tip(index)->setText(QString::fromStdString(caption));
    static_cast<void>(fitTip(index)); // a long name may wrap; the box never grows into the next row
}

float Form1::pixelsToTwipsX(float pixels) const {
    return scale().toTwipsX(pixels);
}

float Form1::pixelsToTwipsY(float pixels) const {
    return scale().toTwipsY(pixels);
}

bool Form1::optValue(int index) const {
    return opt(index)->isChecked();
}

int Form1::chkValue(int index) const {
    return chk(index)->isChecked() ? 1 : 0;
}

std::string Form1::dir1Path() const {
    return dir1_->path();
}

std::string Form1::zahlText() const {
    return zahlText_->text().toStdString();
}

int Form1::unitListIndex() const {
    return unitList_->currentIndex();
}

void Form1::setPbarValue(float percent) {
    // Cut, not rounded: 99.6 % is not yet done, and the bar must not say 100 while the run goes on.
    const float bounded = std::clamp(percent, 0.0F, 100.0F);
    pbar_->setValue(static_cast<int>(std::floor(bounded)));
}
