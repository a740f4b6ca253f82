#include "app/SessionController.h"
#include "file/LoadSave.h"

namespace kavelmark
{
namespace
{

class MainEntryFileImpl final : public SessionFile
{
public:
    LoadResult Load(PasswordStore& store, const SecureString& password, std::uint64_t legacySeed) override
    {
        return kavelmark::Load(store, password, legacySeed);
    }
    SaveResult Save(const PasswordStore& store, const SecureString& password) override
    {
        return kavelmark::Save(store, password);
    }
};

} // namespace

SessionFile& MainSessionFile()
{
    static MainEntryFileImpl file;
    return file;
}

} // namespace kavelmark
