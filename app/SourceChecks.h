// The pure pieces of the load handler: trimming the command line, the rejections, splitting
// the path, the display name and the disk estimate.
#pragma once

#include "core/SourceSelection.h"

#include <cstdint>
#include <optional>
#include <string>

namespace app {

// Only the blank is trimmed; tabs and quotation marks stay part of the path.
std::string trimBlanks(const std::string& text);

// The usage text shown when the program is started without a file.
std::string usageText();
// Shown instead when the Send To entry could not be made, so that nothing promises it; it names
// the missing home folder when that was why.
std::string noSendToText(const std::string& missingFolder = {});

// The messages for a path that cannot be taken, in the order they are tested.
inline constexpr const char* kMoreThanOneFile = "Sie können jeweils nur eine Datei sichern lassen!";
inline constexpr const char* kIsFolder = "Sie können Dateien aber keine Verzeichnisse sichern lassen!";
inline constexpr const char* kUncPath = "UNC-Namen werden nicht unterstützt!";
inline constexpr const char* kBackslashInName =
    "Der Name der Datei oder ihres Ordners enthält einen umgekehrten Schrägstrich (\\).\r"
    "Splitwerk 99 liest ihn als Trennzeichen zwischen Ordnern und fände so eine andere Datei.\r"
    "Bitte benennen Sie die Datei oder den Ordner um.";
inline constexpr const char* kNotAFile = "Sie können Dateien aber keine Geräte, Pipes oder Sockets sichern lassen!";
inline constexpr const char* kNoWindowsReassembler =
    "Das Zusammensetzprogramm für einen Windows-PC (windows\\QUIL.SYS im Ordner des Programms) fehlt.\r"
    "Bitte installieren Sie Splitwerk 99 vollständig, oder sichern Sie die Datei ohne --fuer-windows.";
inline constexpr const char* kControlCharacter =
    "Der Name der Datei oder ihres Ordners enthält ein Steuerzeichen (etwa einen Zeilenumbruch).\r"
    "So ließe sich die Datei später nicht wiederherstellen. Bitte benennen Sie sie um.";

// Sets SourceName and SourceFolder from SourcePath at its last backslash (error 6 when that
// position does not fit a 16-bit counter).
void splitSourcePath(core::SourceSelection& source);

// A name of 37 characters or more becomes its first 36 characters and " ...". Characters,
// not bytes: an umlaut is never cut in half.
std::string displayName(const std::string& name);

// How many 1.44 MB diskettes a file of this length needs, as the sentence states it, for every
// length a file can have (0 to 2^63 - 1).
int64_t diskEstimate(int64_t length);

// How many Ersatzdisketten the recovery data of a file of this length takes, by the same rule:
// the first holds QUIL.EXE with its trailer, and the recovery data is about as long as the
// longest part (at most a diskette's worth) plus a small index of every part. At most two
// for any file of fewer than a few thousand disks; none for an empty file, which writes nothing.
int64_t spareDiskEstimate(int64_t length);

// The sentence in Tip(0); with Ersatzdisketten it names them beside the diskettes.
std::string estimateSentence(const std::string& displayName, int64_t disks, int64_t spareDisks = 0);

} // namespace app
