#include "app/SessionController.h"
#include "file/LoadSave.h"
#include "file/MainEntryFile.h"
#include "file/UnchangedFile.h"
#include "settings/Settings.h"

namespace kavelmark
{
namespace
{

class MainEntryFileImpl final : public SessionFile
{
public:
    LoadResult Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed) override
    {
        // A new file, and an old one converted, take the format the user last chose.
        const FileFormat chosen =
            Settings::Get(settings::kHardenedFormatSetting) != 0 ? FileFormat::V04 : FileFormat::V03;
        const LoadResult result = kavelmark::Load(store, password, legacySeed, chosen);
        if (result == LoadResult::Missing)
        {
            SetMainFileFormat(chosen);
        }
        return result;
    }
    SaveResult Save(const PasswordStore& store, const SecureString& password) override
    {
        // The session can merge a file that another computer changed.
        SaveOptions options;
        options.offerMerge = true;
        return kavelmark::Save(store, password, options);
    }
    bool StillAsLastLoadedOrSaved() override
    {
        return kavelmark::StillAsLastLoadedOrSaved(MainEntryFile(), MainFileFormat());
    }
};

} // namespace

SessionFile& MainSessionFile()
{
    static MainEntryFileImpl file;
    return file;
}

} // namespace kavelmark
