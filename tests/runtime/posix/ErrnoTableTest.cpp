// The errno mapping the copy run's recovery depends on (61 and 71 lead to dialogs, everything
// else to the fatal report).
#include "runtime/posix/PosixErrors.h"

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
        {ENOSPC, ErrnoSubject::File, 61},    {EDQUOT, ErrnoSubject::File, 61},  {EFBIG, ErrnoSubject::File, 60},
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

} // namespace
