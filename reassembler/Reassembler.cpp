// The course of one reassembly. Everything that can go wrong without the parts of later
// disks is checked before the first byte is written, so that a refusal changes nothing.
#include "Reassembler.h"

#include "Failure.h"
#include "Join.h"
#include "OutputFile.h"
#include "OutputFolder.h"
#include "PartNames.h"
#include "ReassemblerHost.h"
#include "RecoveryCheck.h"
#include "Trailer.h"

#include <exception>
#include <optional>
#include <vector>

namespace quil {

namespace {

// Asks before an existing file is replaced; a folder of that name is never replaced.
bool mayReplaceExisting(const std::string& path, Terminal& terminal) {
    const host::FileFacts::Kind kind = host::kindOfEntry(path);
    if (kind == host::FileFacts::Kind::Missing) {
        return false;
    }
    if (kind == host::FileFacts::Kind::Folder) {
        fail(kStopped, "Im Zielordner gibt es bereits einen Ordner namens " + printable(path) +
                           ". Bitte geben Sie einen anderen Zielordner an.");
    }
    if (!terminal.askYesNo("Die Datei " + printable(path) + " existiert bereits. Überschreiben? (j/n)")) {
        fail(kStopped, "Nichts geändert: " + printable(path) + " bleibt, wie sie ist.");
    }
    return true;
}

// Why a name cannot be the restored file's: no plain name at all, or one this host cannot hold.
std::optional<std::string> plainNameProblem(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return std::string("das ist kein Dateiname");
    }
    if (name.find('/') != std::string::npos) {
        return std::string("ein Dateiname enthält keinen Ordner");
    }
    if (printable(name) != name) {
        return std::string("er enthält Steuerzeichen");
    }
    return host::nameProblem(name);
}

// The name the file gets: its own, unless this host cannot hold it (a set from Linux may name
// a file "aux.c", a device on Windows); then the user names another before a part is read.
std::string chooseName(const std::string& named, Terminal& terminal) {
    std::string name = named;
    while (const std::optional<std::string> problem = plainNameProblem(name)) {
        const std::optional<std::string> other = terminal.askForName(printable(name), *problem);
        if (!other) {
            fail(kStopped, "Nichts geschrieben.");
        }
        name = *other;
    }
    return name;
}

// A set is only made from a file with bytes in it. A length of 0 beside parts means line 1 lost
// its digits (a "0" left after a NUL or a line feed is all the reading finds): joining nothing
// would "restore" an empty file and call that success.
void checkLengthAgainstParts(std::int64_t length, const std::string& partsFolder) {
    if (length != 0) {
        return;
    }
    const std::optional<std::vector<std::string>> names = host::listFolder(partsFolder);
    std::string found = names ? std::string() : std::string("der Ordner der Teile lässt sich nicht durchsehen");
    for (const std::string& name : names.value_or(std::vector<std::string>{})) {
        if (core::diskset::isPartName(name)) {
            found = "neben QUIL.EXE liegt " + printable(name);
            break;
        }
    }
    if (!found.empty()) {
        fail(kDamaged, "QUIL.EXE ist beschädigt: Zeile 1 nennt die Länge 0, aber " + found +
                           ". Die Länge der Originaldatei ist unlesbar; es wurde nichts geschrieben.");
    }
}

void checkRoom(const std::string& folder, std::int64_t length) {
    // Before the free space: a FAT stick with room to spare still takes no file of 4 GiB.
    if (const std::optional<std::int64_t> largest = host::largestFile(folder); largest && *largest < length) {
        fail(kStopped, "Die Datei ist mit " + std::to_string(length) + " Bytes zu groß für den Zielordner " +
                           printable(folder) + ": dort kann eine Datei höchstens " + std::to_string(*largest) +
                           " Bytes groß werden (auf einem FAT-Datenträger etwa 4 GiB weniger 1 Byte).\n"
                           "Bitte geben Sie einen Zielordner auf einem anderen Datenträger an, zum Beispiel:\n"
                           "  QUIL.EXE " +
                           host::exampleFolder());
    }
    const std::optional<std::int64_t> available = host::freeBytes(folder);
    if (!available) {
        return; // file systems that do not tell; the writes will say
    }
    if (*available < length) {
        fail(kStopped, "Im Zielordner " + printable(folder) + " ist nicht genug Platz: gebraucht werden " +
                           std::to_string(length) + " Bytes, frei sind " + std::to_string(*available) + " Bytes.");
    }
}

// With recovery data an overlong part is one damaged part among others: the join passes it over.
void checkFirstDisk(const std::string& partsFolder, const std::string& outputFolder, std::int64_t length,
                    bool withRecovery) {
    const FolderScan scan = scanFolder(partsFolder, length);
    if (!scan.overlongPart.empty() && !withRecovery) {
        fail(kDamaged, "Die Teile sind länger als die Originaldatei: mit " + scan.overlongPart + " ergeben sie " +
                           std::to_string(scan.bytes) + " Bytes, die Originaldatei hatte " + std::to_string(length) +
                           " Bytes. Der Diskettensatz ist beschädigt oder gehört nicht zusammen.");
    }
    if (scan.bytes < length && host::sameFileSystem(partsFolder, outputFolder) &&
        host::isExchangeableMedium(partsFolder)) {
        fail(kStopped, "Die Teile auf diesem Datenträger reichen nicht (" + std::to_string(scan.bytes) + " von " +
                           std::to_string(length) + " Bytes), und die Datei würde auf denselben Datenträger (" +
                           printable(outputFolder) +
                           ") geschrieben. Dann ließe sich die nächste Diskette nicht einlegen.\n"
                           "Bitte geben Sie einen Zielordner auf einem anderen Datenträger an, zum Beispiel:\n"
                           "  QUIL.EXE " +
                           host::exampleFolder());
    }
}

} // namespace

std::string usageText() {
    return "Aufruf: QUIL.EXE [Zielordner]\n"
           "Setzt die Datei aus QUILME01.sys, QUILME02.sys, ... im Ordner von QUIL.EXE wieder zusammen und\n"
           "fragt nach der nächsten Diskette, wenn ein Teil fehlt. Ohne Zielordner landet die Datei in ihrem\n"
           "ursprünglichen Ordner, wenn es ihn hier gibt, sonst im aktuellen Ordner.\n"
           "       QUIL.EXE [--warten] [Ordner/QUIL.EXE] [Zielordner]\n"
           "Mit dem QUIL.EXE eines anderen Satzes (auch eines unter Windows geschriebenen) setzt es dessen\n"
           "Datei zusammen. --warten: vor dem Ende auf die Eingabetaste warten.";
}

int reassemble(const std::vector<std::string>& arguments, const std::string& partsFolder,
               const std::string& trailerFile, Terminal& terminal) {
    try {
        host::installInterruptCleanup();

        const core::diskset::TrailerReading reading = readTrailer(trailerFile);
        if (!reading.trailer) {
            fail(kDamaged, "QUIL.EXE ist beschädigt: " + reading.problem);
        }
        const core::diskset::Trailer& trailer = *reading.trailer;
        checkLengthAgainstParts(trailer.length, partsFolder);
        const std::optional<std::string> trailerName = core::diskset::outputName(trailer);
        if (!trailerName) {
            const std::string& named = trailer.longName.empty() ? trailer.givenName : trailer.longName;
            fail(kDamaged, "QUIL.EXE ist beschädigt: der Dateiname „" + printable(named) +
                               "“ in den Angaben ergibt keinen brauchbaren Namen.");
        }
        const std::string name = chooseName(*trailerName, terminal);

        const std::string workingFolder = host::currentFolder();
        const std::optional<std::string> argument =
            arguments.empty() ? std::nullopt : std::optional<std::string>(arguments.front());
        // A folder given as argument is the user's choice, and the set's folder is not even read
        // then; without one, the set's folder is only proposed.
        const std::optional<std::string> proposal = argument ? std::nullopt : host::proposedFolder(trailer.folder);
        const std::string outputFolder = proposal && *proposal != workingFolder
                                             ? confirmOutputFolder(*proposal, workingFolder, terminal)
                                             : chooseOutputFolder(argument, workingFolder);
        const std::optional<std::string> parts = resolveFolder(partsFolder, workingFolder);
        if (!parts) {
            fail(kDamaged, "Der Ordner der Teile, " + printable(partsFolder) + ", ist nicht erreichbar.");
        }
        // Nothing may keep the medium busy: the working folder moves off it, paths are absolute.
        if (const lowio::SystemError err = host::leaveWorkingFolder(); err != 0) {
            fail(kDamaged, "Der Arbeitsordner lässt sich nicht wechseln (" + describeError(err) + ").");
        }

        terminal.say("QUIL setzt " + printable(name) + " (" + std::to_string(trailer.length) +
                     " Bytes) aus den Teilen in " + printable(*parts) + " zusammen.");
        const std::string finalPath = joinPath(outputFolder, name);
        bool replace = mayReplaceExisting(finalPath, terminal);
        checkFirstDisk(*parts, outputFolder, trailer.length, trailer.withRecovery);
        checkRoom(outputFolder, trailer.length);

        std::optional<RecoverySource> recovery;
        if (trailer.withRecovery) {
            recovery.emplace(trailer.length, trailer.recoveryTie, outputFolder, workingFolder, terminal);
        }
        OutputFile output(outputFolder, name);
        output.prepareFor(trailer.length, recovery.has_value());
        Joiner joiner(trailer.length, *parts, workingFolder, terminal, recovery ? &*recovery : nullptr);
        joiner.run(output);
        std::string checked;
        if (recovery) {
            // The join ends at the file's length: a part that grew by as much as the parts after
            // it ended it early, and the recovery data counts those parts.
            fetchForCheck(*recovery, joiner.folder(), output);
            joiner.run(output);
            // Only a file that matches its checksums gets its name.
            checked = checkAgainstRecoveryData(joiner.parts(), joiner.inOrder(), *recovery, output, terminal);
        }
        // A file that took the name during the join is asked about again. A name the system
        // calls taken while nothing can be seen there would be asked about forever; after a few
        // tries the run ends instead. Either way the complete file is kept under another name.
        for (int attempt = 1; !output.commit(replace); ++attempt) {
            try {
                replace = mayReplaceExisting(finalPath, terminal);
            } catch (const Failure& refused) {
                fail(refused.status(), std::string(refused.what()) + " " + output.keepAside());
            }
            if (!replace && attempt >= 3) {
                fail(kDamaged, "Die fertige Datei kann nicht " + printable(finalPath) +
                                   " heißen: der Name ist belegt, aber dort ist keine Datei zu sehen. " +
                                   output.keepAside());
            }
        }
        terminal.say("Die Datei " + printable(name) + " wurde in " + printable(outputFolder) + " wiederhergestellt (" +
                     std::to_string(trailer.length) + " Bytes).");
        if (!checked.empty()) {
            terminal.say(checked);
        }
        return kSuccess;
    } catch (const Failure& failure) {
        terminal.complain(failure.what());
        return failure.status();
    } catch (const std::exception& error) {
        terminal.complain(std::string("Unerwarteter Fehler: ") + error.what());
        return kDamaged;
    }
}

} // namespace quil
