#include "file/SteadyRead.h"

#include <chrono>
#include <thread>

#include "file/LoadMessages.h"

namespace kavelmark
{
namespace
{

constexpr int kReadAttempts = 4;

} // namespace

LoadResult ReadUntilSteady(const std::string& path, const std::function<LoadResult(bool& writtenWhileRead)>& read)
{
    for (int attempt = 1;; ++attempt)
    {
        bool writtenWhileRead = false;
        const LoadResult result = read(writtenWhileRead);
        if (!writtenWhileRead)
        {
            return result;
        }
        if (attempt == kReadAttempts)
        {
            RefuseFile(path, Refusal::WrittenWhileRead);
            return LoadResult::Damaged;
        }
        // A writer that rewrites in place is usually done within moments.
        std::this_thread::sleep_for(std::chrono::milliseconds(50 * attempt));
    }
}

} // namespace kavelmark
