#include "crypto/KeyDerivation.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <argon2.h>
#include <crypto++/misc.h>
#include <crypto++/secblock.h>

namespace kavelmark
{
namespace
{

// The library takes its inputs as writable pointers (it could wipe them); it is given copies
// that wipe themselves.
CryptoPP::SecByteBlock Copy(const void* bytes, std::size_t size)
{
    CryptoPP::SecByteBlock copy(size);
    if (size > 0)
    {
        std::memcpy(copy.data(), bytes, size);
    }
    return copy;
}

DerivationRunner& Runner()
{
    static DerivationRunner runner;
    return runner;
}

} // namespace

DerivationRunner SetDerivationRunner(DerivationRunner runner)
{
    return std::exchange(Runner(), std::move(runner));
}

bool DeriveArgon2id(const Argon2idInput& input, const Argon2idCost& cost, std::span<unsigned char> out)
{
    CryptoPP::SecByteBlock password = Copy(input.password.data(), input.password.size());
    CryptoPP::SecByteBlock salt = Copy(input.salt.data(), input.salt.size());
    CryptoPP::SecByteBlock secret = Copy(input.secret.data(), input.secret.size());
    CryptoPP::SecByteBlock associated = Copy(input.associatedData.data(), input.associatedData.size());

    argon2_context context{};
    context.out = out.data();
    context.outlen = static_cast<std::uint32_t>(out.size());
    context.pwd = password.data();
    context.pwdlen = static_cast<std::uint32_t>(password.size());
    context.salt = salt.data();
    context.saltlen = static_cast<std::uint32_t>(salt.size());
    context.secret = secret.size() > 0 ? secret.data() : nullptr;
    context.secretlen = static_cast<std::uint32_t>(secret.size());
    context.ad = associated.size() > 0 ? associated.data() : nullptr;
    context.adlen = static_cast<std::uint32_t>(associated.size());
    context.t_cost = cost.passes;
    context.m_cost = cost.memoryKiB;
    context.lanes = cost.lanes;
    // The result does not depend on the threads; more than the lanes would idle.
    context.threads = std::max<std::uint32_t>(1, cost.lanes);
    context.version = ARGON2_VERSION_13;
    context.flags = ARGON2_DEFAULT_FLAGS;
    const std::function<bool()> work = [&context] { return argon2_ctx(&context, Argon2_id) == ARGON2_OK; };
    const DerivationRunner& runner = Runner();
    if (!(runner ? runner(work) : work()))
    {
        CryptoPP::SecureWipeBuffer(out.data(), out.size());
        return false;
    }
    return true;
}

} // namespace kavelmark
