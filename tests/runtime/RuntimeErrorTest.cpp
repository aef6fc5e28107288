// Error numbers and their German descriptions, and the errno mapping the copy run's
// recovery depends on (61 and 71 lead to dialogs, everything else to the fatal report).
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using rt::ErrnoSubject;

struct ErrnoCase {
    int err;
    ErrnoSubject subject;
    int number;
};

TEST(RuntimeErrorTest, ErrnoValuesMapOntoTheProgramsNumbers) {
    const ErrnoCase cases[] = {
        {ENOSPC, ErrnoSubject::File, 61},    {EDQUOT, ErrnoSubject::File, 61},  {EFBIG, ErrnoSubject::File, 61},
        {ENOMEDIUM, ErrnoSubject::File, 71}, {ENXIO, ErrnoSubject::File, 71},   {ENODEV, ErrnoSubject::File, 71},
        {EACCES, ErrnoSubject::File, 70},    {EPERM, ErrnoSubject::File, 70},   {EROFS, ErrnoSubject::File, 70},
        {ETXTBSY, ErrnoSubject::File, 70},   {ENOENT, ErrnoSubject::File, 53},  {ENOENT, ErrnoSubject::Folder, 76},
        {ENOTDIR, ErrnoSubject::Folder, 76}, {ENOTDIR, ErrnoSubject::File, 76}, {EIO, ErrnoSubject::File, 57},
        {EMFILE, ErrnoSubject::File, 67},    {ENFILE, ErrnoSubject::File, 67},  {EISDIR, ErrnoSubject::File, 75},
        {EBUSY, ErrnoSubject::File, 75},     {EINVAL, ErrnoSubject::File, 75},  {ELOOP, ErrnoSubject::Folder, 75},
    };
    for (const ErrnoCase& c : cases) {
        EXPECT_EQ(rt::errorFromErrno(c.err, c.subject), c.number)
            << "errno " << c.err << (c.subject == ErrnoSubject::File ? " (file)" : " (folder)");
    }
}

TEST(RuntimeErrorTest, DescriptionsAreTheGermanTexts) {
    const std::pair<int, const char*> cases[] = {
        {6, "Überlauf"},
        {52, "Dateiname oder -nummer falsch"},
        {53, "Datei nicht gefunden"},
        {55, "Datei bereits geöffnet"},
        {57, "Geräte-E/A-Fehler"},
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
        const rt::RuntimeError error(number);
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.description(), text);
    }
    // Unknown numbers still get a readable text rather than an empty line in the report.
    EXPECT_FALSE(rt::errorDescription(12345).empty());
    EXPECT_NE(rt::errorDescription(12345), rt::errorDescription(61));
}

TEST(RuntimeErrorTest, RaiseErrnoThrowsTheMappedNumber) {
    try {
        rt::raiseErrno(ENOSPC);
        FAIL() << "no exception";
    } catch (const rt::RuntimeError& error) {
        EXPECT_EQ(error.number(), 61);
        EXPECT_STREQ(error.what(), "Datenträger voll");
    }
}

} // namespace
