// The narrow view of the main window that the copy run reads its options from and shows
// its progress on; Form1 implements it, tests script it.
#pragma once

#include <string>

namespace kopierer {

class CopyControls {
public:
    virtual ~CopyControls() = default;
    virtual bool optValue(int index) const = 0;   // Opt(i): true while selected
    virtual int chkValue(int index) const = 0;    // Chk(i): 0 clear, 1 ticked
    virtual std::string dir1Path() const = 0;     // Dir1's open directory, drive-letter form
    virtual std::string zahlText() const = 0;     // ZahlText's text
    virtual int unitListIndex() const = 0;        // 0 "Kbyte", 1 "Mbyte", -1 none
    virtual void setPbarValue(float percent) = 0; // 0 to 100
    // Whether the program was started to write recovery data after the parts; the window has no
    // control for it, so a view that does not know of it answers no.
    virtual bool withRecoveryData() const { return false; }
};

} // namespace kopierer
