#include "file/FileError.h"

#include "file/FileTexts.h"

#include <cerrno>

namespace kavelmark
{

int FileErrorFromErrno(int error)
{
    switch (error)
    {
    case 0:
        return kFileOk;
    case ENOENT:
        return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return kFileBadPath;
    case EMFILE:
    case ENFILE:
        return kFileTooManyOpen;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return kFileAccessDenied;
    case EBADF:
        return kFileInvalidHandle;
    case EMLINK:
        return kFileDirectoryFull;
    case ESPIPE:
        return kFileBadSeek;
    case EIO:
        return kFileHardware;
    case EWOULDBLOCK:
    case EBUSY:
        return kFileSharingViolation;
    case EDEADLK:
    case ENOLCK:
        return kFileLockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kFileDiskFull;
    default:
        return kFileGeneric;
    }
}

std::string FileErrorText(int code)
{
    switch (code)
    {
    case 0:
        return "No error occurred.";
    case 1:
        return "An unspecified error occurred.";
    case 2:
        return "The file could not be located.";
    case 3:
        return "All or part of the path is invalid.";
    case 4:
        return "The permitted number of open files was exceeded.";
    case 5:
        return "The file could not be accessed.";
    case 6:
        return "There was an attempt to use an invalid file handle.";
    case 7:
        return "The current working directory cannot be removed.";
    case 8:
        return "There are no more directory entries.";
    case 9:
        return "There was an error trying to set the file pointer.";
    case 10:
        return "There was a hardware error.";
    case 11:
        return "SHARE.EXE was not loaded, or a shared region was locked.";
    case 12:
        return "There was an attempt to lock a region that was already locked.";
    case 13:
        return "The disk is full.";
    case 14:
        return "The end of file was reached.";
    case kFileNoRandomBytes:
        return kNoRandomBytesText;
    case kFileNoKeyMemory:
        return kNoKeyMemoryText;
    default:
        return "An error with an unknown number occurred.";
    }
}

} // namespace kavelmark
