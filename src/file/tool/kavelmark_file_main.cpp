// kavelmark-file: runs the program's own Load and Save on a given file, for maintainers
// and for tests. Texts on the command line side are UTF-8; the file holds cp1252.
//
//   kavelmark-file dump PATH    password on the first line of stdin; prints the load as JSON
//   kavelmark-file write [--format v0.3|v0.4] PATH   {"password": "...", "records": [...]} on stdin
//   kavelmark-file convert --to v0.3|v0.4 PATH       password on stdin; rewrites the file
//   kavelmark-file export --format csv|keepass-xml PATH   password on stdin; entries in plaintext
//   kavelmark-file import --format csv PATH                password, then the CSV, on stdin
//   kavelmark-file merge PATH OTHER    passwords of PATH and OTHER (empty: the same) on stdin
//
// write keeps the format of the file it replaces (V0.3 for a new one) unless told otherwise.
// write replaces the file it found when it started: if another program (or another write)
// replaced the file before this one could, nothing is written and the exit status is 1.
//
// dump does not ask for the password of a V0.2 file a second time as the program does:
// it never writes back what it loaded, so a mistyped password converts nothing.

#include <iostream>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "crypto/CipherEngine.h"
#include "file/FileIdentity.h"
#include "file/LoadSave.h"
#include "file/PasswordFile.h"
#include "file/StoredVersion.h"
#include "file/port/DumpJson.h"
#include "file/port/PortCommands.h"
#include "file/port/ToolInput.h"
#include "file/port/ToolOutput.h"
#include "file/tool/MergeCommand.h"
#include "platform/Cp1252.h"
#include "platform/Messages.h"
#include "platform/ProcessHardening.h"
#include "platform/SecureString.h"
#include "settings/Settings.h"
#include "settings/SettingsNames.h"
#include "store/PasswordStore.h"

namespace kavelmark
{
namespace
{

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The version named by the file's magic, looked at before the load reads it.
std::optional<std::string_view> VersionOf(const std::string& path)
{
    const std::optional<FileVersion> version = StoredVersion(path);
    if (!version)
    {
        return std::nullopt;
    }
    switch (*version)
    {
    case FileVersion::V01:
        return "V0.1";
    case FileVersion::V02:
        return "V0.2";
    case FileVersion::V03:
        return "V0.3";
    case FileVersion::V04:
        return "V0.4";
    default:
        return std::nullopt;
    }
}

int Dump(const std::string& path)
{
    bool inputFailed = false;
    const std::optional<SecureString> password = ReadPasswordLine(inputFailed);
    if (!password)
    {
        return inputFailed ? kExitFailed : kExitUsage;
    }

    const std::optional<std::string_view> version = VersionOf(path);
    PasswordStore store;
    const LoadResult result = LoadForTool(store, *password, path);
    // Streamed rather than built as one JSON value, which would hold every record unwiped.
    if (!WriteDumpJson(static_cast<int>(result), version, store, WriteStandardOutput))
    {
        return kExitFailed;
    }
    return result == LoadResult::Loaded ? 0 : kExitFailed;
}

// The format named on the command line; nothing for a name the tool does not know.
std::optional<FileFormat> FormatNamed(const std::string& name)
{
    if (name == "v0.3")
    {
        return FileFormat::V03;
    }
    if (name == "v0.4")
    {
        return FileFormat::V04;
    }
    return std::nullopt;
}

int Write(FileFormat format)
{
    std::string input(std::istreambuf_iterator<char>(std::cin), {});
    nlohmann::json request = nlohmann::json::parse(input, nullptr, false);
    WipeString(input);
    if (request.is_discarded() || !request.is_object() || !request.contains("password") ||
        !request["password"].is_string() || !request.contains("records") || !request["records"].is_array())
    {
        PrintToolLine("expected {\"password\": \"...\", \"records\": [\"...\", ...]}");
        return kExitUsage;
    }
    std::string passwordText = request["password"].get<std::string>();
    std::optional<SecureString> password = PasswordFromUtf8(passwordText);
    WipeString(passwordText);
    if (!password)
    {
        return kExitUsage;
    }
    PasswordStore store;
    store.RemoveAll();
    std::size_t index = 0;
    for (const nlohmann::json& record : request["records"])
    {
        std::optional<std::string> bytes;
        if (record.is_string())
        {
            bytes = Utf8ToCp1252(record.get_ref<const std::string&>());
        }
        if (!bytes)
        {
            PrintToolLine("record " + std::to_string(index) + " is not a text of characters that cp1252 can store");
            return kExitUsage;
        }
        store.AddTail(*bytes);
        WipeString(*bytes);
        ++index;
    }
    SetMainFileFormat(format);
    return Save(store, *password) == SaveResult::Saved ? 0 : kExitFailed;
}

// Loads the file and saves it again in the other format, through the same safe save.
int Convert(FileFormat format, const std::string& path)
{
    bool inputFailed = false;
    const std::optional<SecureString> password = ReadPasswordLine(inputFailed);
    if (!password)
    {
        return inputFailed ? kExitFailed : kExitUsage;
    }
    PasswordStore store;
    if (!LoadExistingForTool(store, *password, path))
    {
        return kExitFailed;
    }
    SetMainFileFormat(format);
    if (Save(store, *password) != SaveResult::Saved)
    {
        PrintToolLine(path + " is unchanged");
        return kExitFailed;
    }
    PrintToolLine(path + " is now a " + (format == FileFormat::V04 ? "V0.4" : "V0.3") + " file");
    return 0;
}

} // namespace
} // namespace kavelmark

namespace
{

int RunCommand(const std::string& command, const std::string& format, bool spreadsheetSafe, const std::string& path,
               const std::string& otherPath)
{
    using namespace kavelmark;
    if (command == "merge")
    {
        return MergeCommand(path, otherPath);
    }
    if (command == "convert")
    {
        return Convert(*FormatNamed(format), path);
    }
    if (command == "export")
    {
        return ExportCommand(format, spreadsheetSafe, path);
    }
    if (command == "import")
    {
        return ImportCommand(format, path);
    }
    if (command == "dump")
    {
        return Dump(path);
    }
    // Before the request is read, so that a write started alongside cannot go unnoticed.
    RememberFileAtPath(path);
    if (!format.empty())
    {
        return Write(*FormatNamed(format));
    }
    return Write(StoredVersion(path) == FileVersion::V04 ? FileFormat::V04 : FileFormat::V03);
}

} // namespace

int main(int argc, char** argv)
{
    using namespace kavelmark;
    HardenProcess();
    std::string command = argc >= 2 ? argv[1] : "";
    std::string format;
    std::string path;
    std::string otherPath;
    bool spreadsheetSafe = false;
    if ((command == "dump" || command == "write") && argc == 3)
    {
        path = argv[2];
    }
    else if (command == "merge" && argc == 4 && *argv[3] != '\0')
    {
        path = argv[2];
        otherPath = argv[3];
    }
    else if (argc == 5 &&
             ((command == "write" && std::string(argv[2]) == "--format") ||
              (command == "convert" && std::string(argv[2]) == "--to")) &&
             FormatNamed(argv[3]))
    {
        format = argv[3];
        path = argv[4];
    }
    else if ((command == "export" || command == "import") && (argc == 5 || argc == 6) &&
             std::string(argv[2]) == "--format")
    {
        format = argv[3];
        spreadsheetSafe = argc == 6 && command == "export" && std::string(argv[4]) == "--spreadsheet-safe";
        path = argc == 5 || spreadsheetSafe ? argv[argc - 1] : "";
    }
    if (path.empty())
    {
        std::cerr
            << "usage: kavelmark-file dump PATH   (password on the first line of standard input)\n"
               "       kavelmark-file write [--format v0.3|v0.4] PATH\n"
               "                                  ({\"password\": ..., \"records\": [...]} on standard input;\n"
               "                                  the format defaults to the file's own, V0.3 for a new file)\n"
               "       kavelmark-file convert --to v0.3|v0.4 PATH\n"
               "                                  (password on the first line of standard input;\n"
               "                                  rewrites the file in that format)\n"
               "       kavelmark-file export --format csv [--spreadsheet-safe] PATH\n"
               "       kavelmark-file export --format keepass-xml PATH\n"
               "                                  (password on the first line of standard input;\n"
               "                                  writes every password in plaintext to standard output;\n"
               "                                  --spreadsheet-safe puts ' before cells a spreadsheet would run)\n"
               "       kavelmark-file import --format csv PATH\n"
               "                                  (password on the first line of standard input, the CSV after it)\n"
               "       kavelmark-file merge PATH OTHER\n"
               "                                  (passwords of PATH and of OTHER on the first two lines of standard\n"
               "                                  input, an empty second line for the same; keeps every record of\n"
               "                                  either file in PATH)\n";
        return 2;
    }
    // Messages go to standard error as "caption: text".
    SetMessageSink(nullptr);
    InMemorySettingsBackend settingsStore;
    ScopedSettingsBackend install(settingsStore);
    settingsStore.Write(settings::kConfig, settings::kMainEntryFile, path);
    try
    {
        return RunCommand(command, format, spreadsheetSafe, path, otherPath);
    }
    catch (const std::bad_alloc&)
    {
        // Unwound: what was held is released, and a file is only replaced once it is whole.
        PrintToolLine("out of memory; " + path + " is unchanged");
        return kExitFailed;
    }
}
