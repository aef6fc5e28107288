// The drive list over the runtime's drive map.
#include "DriveList.h"

#include "runtime/RuntimeError.h"

#include <cctype>

namespace {

constexpr int kLetterRole = Qt::UserRole + 1;

char lowerCase(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// A name for the medium, shown after the letter so that two sticks can be told apart: the
// last component of its mount point. The floppy gets none, since its disk changes while the
// list stands, nor does a drive mapped onto the root.
std::string volumeName(const rt::DriveMap& drives, char letter) {
    if (letter == 'a') {
        return {};
    }
    const std::optional<std::string> root = drives.root(letter);
    if (!root) {
        return {};
    }
    std::string directory = *root;
    while (directory.size() > 1 && directory.back() == '/') {
        directory.pop_back();
    }
    const std::size_t slash = directory.rfind('/');
    return slash == std::string::npos ? directory : directory.substr(slash + 1);
}

} // namespace

DriveList::DriveList(const rt::DriveMap& drives, QWidget* parent) : QComboBox(parent) {
    for (char driveLetter : drives.letters()) {
        const char letterLower = lowerCase(driveLetter);
        std::string designation{letterLower, ':'};
        const std::string volume = volumeName(drives, letterLower);
        if (!volume.empty()) {
            designation += " [" + volume + "]";
        }
        addItem(QString::fromStdString(designation), QVariant(static_cast<int>(letterLower)));
    }
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { Q_EMIT driveChanged(); });
}

std::string DriveList::drive() const {
    return currentText().toStdString();
}

char DriveList::letter() const {
    const QVariant shown = currentData();
    return shown.isValid() ? static_cast<char>(shown.toInt()) : '\0';
}

int DriveList::indexOfLetter(char wanted) const {
    return findData(QVariant(static_cast<int>(lowerCase(wanted))));
}

void DriveList::setDriveFromPath(const std::string& path) {
    const int index = path.size() >= 2 && path[1] == ':' ? indexOfLetter(path[0]) : -1;
    if (index < 0) {
        rt::raise(rt::kDiskNotReady);
    }
    // QComboBox itself stays silent when the index does not change: that is what ends the
    // recovery when the program's own drive cannot be read either.
    setCurrentIndex(index);
}
