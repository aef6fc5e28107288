// Module common: the small helpers shared by start-up and the copy run.
#pragma once

#include <string>

namespace rt {
class Runtime;
}

// What a window offers for converting pixels to twips, on each axis, by its own scale.
namespace app {

class PixelTwipsScale {
public:
    virtual ~PixelTwipsScale() = default;
    virtual float pixelsToTwipsX(float pixels) const = 0;
    virtual float pixelsToTwipsY(float pixels) const = 0;
};

} // namespace app

namespace app::common {

// A folder text made ready for appending a file name: a backslash is added unless the
// text already ends in one (an empty text becomes "\").
std::string WithTrailingBackslash(std::string text);

// The program's own folder, ending in a backslash.
std::string AppFolder(const rt::Runtime& runtime);

// Whether path names an ordinary file (a link to one counts); no error when it names nothing.
bool isRegularFile(rt::Runtime& runtime, const std::string& path);

// Installs the "Send To" entry "Splitwerk 99" for this program, and beside it "Splitwerk 99 mit
// Ersatzdiskette" (and on Linux, with the Windows reassembler installed, "Splitwerk 99 für einen
// Windows-PC"); true when the first one is there.
bool CreateSendToLink(rt::Runtime& runtime);

// The pixels are taken by reference and left unchanged, as callers rely on.
float PixelsToTwipsX(const app::PixelTwipsScale& window, float& pixels);
float PixelsToTwipsY(const app::PixelTwipsScale& window, float& pixels);

} // namespace app::common
