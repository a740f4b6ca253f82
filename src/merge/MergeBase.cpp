#include "merge/MergeBase.h"

#include <algorithm>

namespace kavelmark
{

void MergeBase::Capture(const PasswordStore& store)
{
    keys_ = RecordKeyer::OfThisRun().SortedKeysOf(store);
    captured_ = true;
}

void MergeBase::Clear()
{
    keys_.clear();
    captured_ = false;
}

std::size_t MergeBase::CountOf(const RecordKey& key) const
{
    auto [first, last] = std::equal_range(keys_.begin(), keys_.end(), key);
    return static_cast<std::size_t>(last - first);
}

bool MergeBase::Matches(const PasswordStore& store) const
{
    return captured_ && store.GetCount() == keys_.size() && RecordKeyer::OfThisRun().SortedKeysOf(store) == keys_;
}

} // namespace kavelmark
