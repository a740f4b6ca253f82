#pragma once

#include <string>

namespace kavelmark
{

// Why a load turns a file away, each with its own message.
enum class Refusal
{
    UnknownFormat,
    Damaged,
    TooLarge,
    NotARegularFile,
    OlderVersion, // V0.1 or V0.2 where only a file of the current versions will do
};

// The load's messages, for every reader of password files.
void RefuseFile(const std::string& path, Refusal refusal);
void ShowWrongPassword();

} // namespace kavelmark
