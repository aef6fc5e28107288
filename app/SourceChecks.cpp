// Command-line checks, the display name and the disk estimate of the load handler.
#include "SourceChecks.h"
#include "core/ProductFacts.h"

#include "runtime/Checked.h"
#include "runtime/RuntimeError.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {
constexpr uint64_t kAllowance = 200000;     // room for the reassembler and file-system overhead
constexpr double kBytesPerDisk = 1457664.0; // what fits on one formatted 1.44 MB diskette
constexpr std::size_t kLongestShownName = 36;
constexpr int64_t kIndexBytes = 1024;
constexpr int64_t kIndexBytesPerPart = 320;

bool isUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}
} // namespace

std::string trimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string usageText() {
    const std::string name = core::product::kName;
    return "Sie haben " + name + " falsch\r" + "gestartet.\r" + "\r" + "Klicken Sie mit der rechten Maustaste auf\r" +
           "die zu sichernde Datei und wählen Sie aus\r" + "deren Kontextmenü den Eintrag 'Senden an'.\r" + "\r" +
           "Im nächsten Menü klicken Sie dann auf den\r" + "Punkt '" + name + "'.";
}

std::string noSendToText(const std::string& missingFolder) {
    const std::string name = core::product::kName;
    const std::string reason =
        missingFolder.empty() ? "konnte nicht angelegt werden: Ihr persönlicher\rOrdner ist nicht gesetzt oder nicht "
                                "beschreibbar.\r"
                              : "wurde nicht angelegt: Ihr persönlicher Ordner\r" + missingFolder +
                                    "\rexistiert nicht, und " + name + " legt ihn nicht an.\r";
    return "Sie haben " + name + " ohne Datei gestartet.\r" + "\r" + "Der Eintrag '" + name +
           "' für das Menü 'Senden an'\r" + reason + "\r" + "Starten Sie " + name + " mit der zu sichernden\r" +
           "Datei, zum Beispiel: splitwerk /pfad/zur/Datei.zip";
}

void splitSourcePath(core::SourceSelection& source) {
    const std::string& path = source.SourcePath;
    // Positions are 1-based 16-bit counters; a backslash beyond 32767 cannot be counted.
    int16_t p = 0;
    int16_t s = 0;
    do {
        s = rt::addInt16(p, 1);
        const auto found = path.find('\\', static_cast<std::size_t>(s - 1));
        if (found == std::string::npos) {
            p = 0;
        } else if (found + 1 > 32767) {
            rt::raise(rt::kOverflow);
        } else {
            p = static_cast<int16_t>(found + 1);
        }
    } while (p != 0);
    source.SourceName = path.substr(static_cast<std::size_t>(s - 1));
    source.SourceFolder = path.substr(0, static_cast<std::size_t>(s - 1));
}

std::string displayName(const std::string& name) {
    std::size_t characters = 0;
    std::size_t cut = name.size();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (isUtf8Continuation(static_cast<unsigned char>(name[i]))) {
            continue;
        }
        if (characters == kLongestShownName) {
            cut = i;
        }
        ++characters;
    }
    if (characters <= kLongestShownName) {
        return name;
    }
    return name.substr(0, cut) + " ...";
}

int64_t diskEstimate(int64_t length) {
    // Unsigned, so that the allowance still fits beside the largest length; once the estimate
    // stood in 32 bits and a file of 2 GiB overflowed it.
    const uint64_t total = static_cast<uint64_t>(length) + kAllowance;
    // The quotient is kept in single precision on purpose: the sentence has always shown the
    // count this rounding gives (23122625 bytes make exactly 16, not 17). Far beyond any
    // diskette set a float is whole anyway, and its whole part still fits 64 bits.
    float quotient = static_cast<float>(static_cast<double>(total) / kBytesPerDisk);
    if (quotient != std::floor(quotient)) {
        quotient = quotient + 1.0f;
    }
    return static_cast<int64_t>(std::floor(quotient));
}

int64_t spareDiskEstimate(int64_t length) {
    if (length <= 0) {
        return 0;
    }
    const int64_t longestPart = std::min<int64_t>(length, static_cast<int64_t>(kBytesPerDisk));
    // The index: a few hundred bytes of checksums and name for each part, about one a disk.
    const int64_t index = kIndexBytes + kIndexBytesPerPart * diskEstimate(length);
    return diskEstimate(longestPart + index);
}

std::string estimateSentence(const std::string& displayName, int64_t disks, int64_t spareDisks) {
    const std::string spare = spareDisks == 0 ? std::string()
                                              : " und " + rt::numberText(spareDisks) +
                                                    (spareDisks == 1 ? " Ersatzdiskette" : " Ersatzdisketten");
    return "Sie haben die Datei '" + displayName + "' zur Sicherung mit " + core::product::kName +
           " ausgewählt. Dafür benötigen Sie ungefähr " + rt::numberText(disks) + " Disketten" + spare +
           " mit einer Kapazität von 1,44 MByte.";
}

} // namespace app
