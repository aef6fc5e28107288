// Drive1: the drive list. It offers the drives of the runtime's drive map as the classic
// list did ("a:", "c: [Daten]", "z:") and tells the window whenever the drive it shows changes,
// by the user or by the program, but not when it is set to the drive it already shows.
#pragma once

#include "runtime/DriveMap.h"

#include <QComboBox>

#include <string>

class DriveList : public QComboBox {
    Q_OBJECT
public:
    DriveList(const rt::DriveMap& drives, QWidget* parent = nullptr);

    // The designation shown: the letter in lower case, a colon, perhaps a volume name.
    std::string drive() const;
    // The letter of the drive shown, lower case; 0 when the list is empty.
    char letter() const;

    // Shows the drive of a drive-letter path ("Z:\home" or "z:"); error 71 (not ready)
    // when the list has no such drive.
    void setDriveFromPath(const std::string& path);

Q_SIGNALS:
    void driveChanged();

private:
    int indexOfLetter(char letter) const;
};
