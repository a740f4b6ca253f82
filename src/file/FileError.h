#pragma once

#include <string>

namespace kavelmark
{

// Cause codes of failed file operations, shown with their FileErrorText (which knows 7, the
// current folder, and 14, the end of the file, too: no operation here fails that way).
enum FileErrorCode : int
{
    kFileOk = 0,
    kFileGeneric = 1,
    kFileNotFound = 2,
    kFileBadPath = 3,
    kFileTooManyOpen = 4,
    kFileAccessDenied = 5,
    kFileInvalidHandle = 6,
    kFileDirectoryFull = 8,
    kFileBadSeek = 9,
    kFileHardware = 10,
    kFileSharingViolation = 11,
    kFileLockViolation = 12,
    kFileDiskFull = 13,
    // Beyond the system's causes: what a V0.4 save needs besides the disk.
    kFileNoRandomBytes = 100,
    kFileNoKeyMemory = 101,
};

// The cause code of an errno value.
int FileErrorFromErrno(int error);

// The text shown under the caption "Datei-Fehler": English for the system's causes, German for
// the program's own.
std::string FileErrorText(int code);

} // namespace kavelmark
