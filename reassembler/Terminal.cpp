// Terminal questions and how answers are read; the host's console shows and reads the text.
#include "Terminal.h"

namespace quil {

std::string cleanAnswer(const std::string& line) {
    const char* blanks = " \t\r\n";
    const std::size_t first = line.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    std::string text = line.substr(first, line.find_last_not_of(blanks) - first + 1);
    if (text.size() >= 2 && (text.front() == '\'' || text.front() == '"') && text.back() == text.front()) {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

DiskAnswer interpretDiskAnswer(const std::optional<std::string>& line, bool lostOffered) {
    if (!line) {
        return {DiskAnswer::Kind::Abort, {}};
    }
    const std::string text = cleanAnswer(*line);
    if (text.empty()) {
        return {DiskAnswer::Kind::Retry, {}};
    }
    if (text == "q" || text == "Q") {
        return {DiskAnswer::Kind::Abort, {}};
    }
    if (lostOffered && (text == "v" || text == "V")) {
        return {DiskAnswer::Kind::Lost, {}};
    }
    return {DiskAnswer::Kind::Folder, text};
}

FolderAnswer interpretFolderAnswer(const std::optional<std::string>& line) {
    if (!line) {
        return {FolderAnswer::Kind::No, {}};
    }
    const std::string text = cleanAnswer(*line);
    if (interpretYes(text)) {
        return {FolderAnswer::Kind::Yes, {}};
    }
    // "q" stops here as it does at the disk question.
    if (text.empty() || text == "n" || text == "N" || text == "nein" || text == "Nein" || text == "NEIN" ||
        text == "q" || text == "Q") {
        return {FolderAnswer::Kind::No, {}};
    }
    return {FolderAnswer::Kind::Folder, text};
}

bool interpretYes(const std::optional<std::string>& line) {
    if (!line) {
        return false;
    }
    const std::string text = cleanAnswer(*line);
    return text == "j" || text == "J" || text == "ja" || text == "Ja" || text == "JA";
}

void Terminal::say(const std::string& text) {
    console_.write(text + "\n");
}

void Terminal::complain(const std::string& text) {
    console_.writeError(text + "\n");
}

std::optional<std::string> Terminal::readLine() {
    return console_.readLine();
}

bool Terminal::askYesNo(const std::string& question) {
    console_.write(question + " ");
    return interpretYes(readLine());
}

FolderAnswer Terminal::askWhereTo(const std::string& folder) {
    console_.write("Die Datei stammt aus dem Ordner " + folder + ".\n");
    console_.write("Dorthin wiederherstellen? (j = ja, n = nein, oder geben Sie einen anderen Ordner ein; . ist der "
                   "aktuelle Ordner): ");
    return interpretFolderAnswer(readLine());
}

std::optional<std::string> Terminal::askForName(const std::string& name, const std::string& problem) {
    console_.write("Die Datei kann hier nicht " + name + " heißen: " + problem + ".\n");
    console_.write("Unter welchem Namen soll sie entstehen? (Eingabetaste allein bricht ab): ");
    const std::optional<std::string> line = readLine();
    if (!line || cleanAnswer(*line).empty()) {
        return std::nullopt;
    }
    return cleanAnswer(*line);
}

DiskAnswer Terminal::askForDisk(const std::string& fileName, LostOffer lost, int recoveryDisk) {
    console_.write("Bitte legen Sie die ");
    console_.write(recoveryDisk > 0 ? "Ersatzdiskette " + std::to_string(static_cast<long long>(recoveryDisk))
                                    : "Diskette mit " + fileName);
    console_.write(" ein und drücken Sie die Eingabetaste.\n");
    if (lost == LostOffer::Rebuild) {
        console_.write("Ist diese Diskette verloren (oder gibt es sie nicht, weil ein Teil davor zu kurz ist), geben "
                       "Sie v ein: QUIL stellt dann aus der Ersatzdiskette wieder her, was fehlt.\n");
    } else if (lost == LostOffer::NoMore) {
        console_.write("Ist auch diese Diskette verloren, geben Sie v ein: die Ersatzdiskette ersetzt nur einen "
                       "Teil, QUIL legt dann unter anderem Namen ab, was sich zusammensetzen lässt.\n");
    }
    console_.write("Liegt " + fileName + " in einem anderen Ordner, geben Sie diesen Ordner ein; q bricht ab: ");
    return interpretDiskAnswer(readLine(), lost != LostOffer::None);
}

} // namespace quil
