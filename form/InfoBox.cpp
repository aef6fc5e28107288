// Module AAA: what the Info box says about the program.
#include "InfoBox.h"

#include "runtime/Runtime.h"

#include <array>

namespace form::AAA {

namespace {

constexpr const char* kCr = "\r";

// One paragraph each; the message box wraps the long lines itself.
constexpr std::array<const char*, 5> kParagraphs{
    "Splitwerk 99 teilt eine große Datei in nummerierte Teildateien (QUILME01.sys, QUILME02.sys, ...) "
    "und schreibt sie auf eine Diskette nach der anderen oder in einen Ordner Ihrer Wahl.",
    "Gestartet wird es über das Kontextmenü der Datei: Klicken Sie mit der rechten Maustaste auf die "
    "Datei und wählen Sie 'Senden an' und dann 'Splitwerk 99'.",
    "Auf die erste Diskette kommt das Programm QUIL.EXE. Starten Sie es von dort, und es setzt die "
    "Teile wieder zur ursprünglichen Datei zusammen.",
    "Ihre Originaldatei wird dabei nur gelesen und niemals verändert.",
    "Bis bald ... ",
};

} // namespace

std::string InfoText(const std::string& tagline) {
    std::string text = tagline;
    for (const char* paragraph : kParagraphs) {
        text += kCr;
        text += kCr;
        text += paragraph;
    }
    return text;
}

void ShowInfo(rt::Runtime& runtime, const std::string& title, const std::string& tagline) {
    runtime.msgBox(InfoText(tagline), rt::kInfoOk, title);
}

} // namespace form::AAA
