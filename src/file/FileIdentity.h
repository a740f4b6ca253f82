#pragma once

// Which file a save may replace without asking: the one this process loaded or last saved
// at that path. Remembered per resolved path for the life of the process.

#include <array>
#include <ctime>
#include <optional>
#include <string>

#include <sys/types.h>

#include "file/FileDigest.h"

namespace kavelmark
{

struct FileIdentity
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    // Set by every write, and unlike the time of modification not to be set back.
    timespec statusChanged{};
    // The FileDigest of the bytes; false when they could not be read.
    bool hasDigest = false;
    FileDigest::Value digest{};
};

// The folder of a path ("." for a bare name) and the name in it.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

// The path with every symbolic link followed, also a dangling one, and its folder made
// absolute: the file a save writes. Empty when the links loop or cannot be read.
std::string ResolvedFilePath(const std::string& path);

// The identity of an open regular file, read whole through pread so that its position stays;
// one larger than any password file gets no digest.
FileIdentity IdentityOfOpenFile(int fd);
// The same without the digest: what the file's stat data tell.
FileIdentity StatOfOpenFile(int fd);

// Whether the open file was written since identity was taken of it: a reader that sees this read
// part of one version and part of another.
bool WrittenSince(const FileIdentity& identity, int fd);

// What is at path now (not following a final symbolic link); exists false when nothing is.
FileIdentity IdentityAtPath(const std::string& path);

// Remembers what a load that could not open the file found: "no file" on kFileNotFound, and
// nothing for any other open result.
void RememberUnopenedFile(const std::string& path, int openResult);
// Remembers whatever is at path now, as if it had been loaded.
void RememberFileAtPath(const std::string& path);
void RememberFileIdentity(const std::string& path, const FileIdentity& identity);
// Nothing when neither a load nor a save at path was remembered.
std::optional<FileIdentity> RememberedFileIdentity(const std::string& path);

// Whether two identities are of the same file with the same bytes: equal stat data, and equal
// digests where both have one.
bool SameFile(const FileIdentity& a, const FileIdentity& b);

// True when path holds a file other than expected (or any file where none was expected);
// a file that has gone counts as unchanged, as nothing would be overwritten. now receives
// what is there.
bool ReplacedSince(const FileIdentity& expected, const std::string& path, FileIdentity& now);

} // namespace kavelmark
