#pragma once

#include <string>

#include "file/PasswordFile.h"

namespace kavelmark
{

// Why a load turns a file away, each with its own message.
enum class Refusal
{
    UnknownFormat,
    Damaged,
    TooLarge,
    NotARegularFile,
    OlderVersion,     // V0.1 or V0.2 where only a file of the current versions will do
    WrittenWhileRead, // rewritten in place by another program on every attempt to read it
};

// The load's messages, for every reader of password files.
void RefuseFile(const std::string& path, Refusal refusal);
// Refuses, with its message, what is at path when it is there but not a regular file: looked at
// before opening, as a FIFO or a device in place of the file is not ours to read.
bool RefuseIfNotRegularFile(const std::string& path);
// Why a read that ended in Damaged or TooLarge, or read a file of no known version, is refused.
Refusal RefusalOf(ReadResult read, FileVersion version);
void ShowWrongPassword();

} // namespace kavelmark
