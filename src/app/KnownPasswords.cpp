#include "app/KnownPasswords.h"

#include <algorithm>

namespace kavelmark
{

void KnownPasswords::Add(const SecureString& password, std::uint64_t seed)
{
    known_.erase(std::remove_if(known_.begin(), known_.end(), [&](const Known& k) { return k.password == password; }),
                 known_.end());
    known_.insert(known_.begin(), Known{password, seed});
    if (known_.size() > kKept)
    {
        known_.resize(kKept);
    }
}

} // namespace kavelmark
