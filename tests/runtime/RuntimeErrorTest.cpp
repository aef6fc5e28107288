// Error numbers and their German descriptions (an error raised by number carries its text to the
// report, see RuntimeTest); each host's mapping of its own error codes is tested with its backend.
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

namespace {

TEST(RuntimeErrorTest, DescriptionsAreTheGermanTexts) {
    const std::pair<int, const char*> cases[] = {
        {6, "Überlauf"},
        {52, "Dateiname oder -nummer falsch"},
        {53, "Datei nicht gefunden"},
        {55, "Datei bereits geöffnet"},
        {57, "Geräte-E/A-Fehler"},
        {60, "Datei zu groß für den Datenträger"},
        {61, "Datenträger voll"},
        {62, "Einlesen hinter Dateiende"},
        {67, "Zu viele Dateien"},
        {70, "Zugriff verweigert"},
        {71, "Datenträger nicht bereit"},
        {75, "Fehler beim Zugriff auf Pfad/Datei"},
        {76, "Pfad nicht gefunden"},
    };
    for (const auto& [number, text] : cases) {
        EXPECT_EQ(rt::errorDescription(number), text) << number;
    }
    // Unknown numbers still get a readable text rather than an empty line in the report.
    EXPECT_FALSE(rt::errorDescription(12345).empty());
    EXPECT_NE(rt::errorDescription(12345), rt::errorDescription(61));
}

} // namespace
