#include "file/port/PortCommands.h"

#include <optional>

#include "crypto/CipherEngine.h"
#include "file/LoadSave.h"
#include "file/port/Export.h"
#include "file/port/Import.h"
#include "file/port/ToolInput.h"
#include "file/port/ToolOutput.h"
#include "platform/SecureString.h"
#include "store/PasswordStore.h"

namespace kavelmark
{
namespace
{

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;

} // namespace

int ExportCommand(std::string_view format, bool spreadsheetSafe, const std::string& path)
{
    std::optional<ExportFormat> exportFormat;
    if (format == "csv")
    {
        exportFormat = spreadsheetSafe ? ExportFormat::CsvSpreadsheetSafe : ExportFormat::Csv;
    }
    else if (format == "keepass-xml")
    {
        exportFormat = ExportFormat::KeePassXml;
    }
    else
    {
        PrintToolLine("export knows the formats csv and keepass-xml");
        return kExitRefused;
    }
    if (spreadsheetSafe && exportFormat != ExportFormat::CsvSpreadsheetSafe)
    {
        PrintToolLine("--spreadsheet-safe goes with --format csv");
        return kExitRefused;
    }
    bool inputFailed = false;
    const std::optional<SecureString> password = ReadPasswordLine(inputFailed);
    if (!password)
    {
        return inputFailed ? kExitFailed : kExitRefused;
    }
    PasswordStore store;
    if (!LoadExistingForTool(store, *password, path))
    {
        return kExitFailed;
    }
    SecureString out;
    std::string problem;
    if (!ExportEntries(store, *exportFormat, out, problem))
    {
        PrintToolLine(problem);
        return kExitFailed;
    }
    PrintToolLine("WARNING: the export is plaintext; every password of " + path +
                  " stands unencrypted on standard output. Keep it from others and delete it when done.");
    return WriteStandardOutput(out) ? kExitDone : kExitFailed;
}

int ImportCommand(std::string_view format, const std::string& path)
{
    if (format != "csv")
    {
        PrintToolLine("import knows the format csv");
        return kExitRefused;
    }
    SecureString input;
    if (!ReadInput(input, false))
    {
        return kExitFailed;
    }
    std::optional<SecureString> password = TakePassword(input);
    if (!password)
    {
        return kExitRefused;
    }
    const ImportPlan plan = PlanImport(input);
    WipeString(input);
    const std::string unchanged = "nothing imported; " + path + " is unchanged";
    if (!plan.problems.empty())
    {
        for (const std::string& problem : plan.problems)
        {
            PrintToolLine(problem);
        }
        PrintToolLine(unchanged);
        return kExitRefused;
    }
    if (RefuseOlderVersion(path))
    {
        return kExitFailed;
    }
    PasswordStore store;
    const LoadResult loaded = LoadForTool(store, *password, path);
    if (loaded != LoadResult::Loaded && loaded != LoadResult::Missing)
    {
        PrintToolLine(unchanged);
        return kExitFailed;
    }
    ImportCount count;
    std::string problem;
    if (!AddImported(store, plan, count, problem))
    {
        PrintToolLine(problem);
        PrintToolLine(unchanged);
        return kExitRefused;
    }
    if (count.entries == 0)
    {
        PrintToolLine("the CSV holds no entries; " + path + " is unchanged");
        return kExitDone;
    }
    if (Save(store, *password) != SaveResult::Saved)
    {
        PrintToolLine(unchanged);
        return kExitFailed;
    }
    PrintToolLine("imported " + std::to_string(count.entries) + " entries into " + path + " (" +
                  std::to_string(count.categories) + " new categories)");
    return kExitDone;
}

} // namespace kavelmark
