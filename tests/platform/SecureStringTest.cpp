#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include "platform/SecureString.h"

namespace kavelmark
{
namespace
{

// A secret of the given length whose every 4-byte piece is unlikely to occur by chance.
std::string Secret(std::size_t length)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i)
    {
        text.push_back(static_cast<char>("Qx7#Zr9!"[i % 8]));
    }
    return text;
}

// Every block released to secret memory while it lives, as the allocator hook saw it.
class ReleaseWatch
{
public:
    ReleaseWatch()
    {
        watch = this;
        SetSecureReleaseHook(&Record);
    }
    ~ReleaseWatch()
    {
        SetSecureReleaseHook(nullptr);
        watch = nullptr;
    }
    ReleaseWatch(const ReleaseWatch&) = delete;
    ReleaseWatch& operator=(const ReleaseWatch&) = delete;

    std::size_t releasedBytes = 0;
    std::size_t blocksNotWiped = 0;

private:
    static void Record(const void* block, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(block);
        watch->releasedBytes += size;
        if (std::any_of(bytes, bytes + size, [](unsigned char b) { return b != 0; }))
        {
            ++watch->blocksNotWiped;
        }
    }

    static inline ReleaseWatch* watch = nullptr;
};

bool Holds(const void* bytes, std::size_t size, std::string_view piece)
{
    return std::string_view(static_cast<const char*>(bytes), size).find(piece) != std::string_view::npos;
}

const std::size_t kLengths[] = {2, 5, 8, 15, 16, 23, 40, 5000, 70000};

// The string lives in a buffer of ours, so what its object keeps after destruction can be
// read without touching freed memory.
TEST(SecureStringTest, NothingOfTheTextIsLeftAfterDestructionWhateverItsLength)
{
    for (std::size_t length : kLengths)
    {
        const std::string secret = Secret(length);
        alignas(SecureString) unsigned char object[sizeof(SecureString)];
        ReleaseWatch released;
        auto* text = new (object) SecureString(ToSecure(secret));
        ASSERT_EQ(std::string_view(*text), secret);
        text->~SecureString();

        EXPECT_FALSE(Holds(object, sizeof(object), std::string_view(secret).substr(0, 2))) << length;
        EXPECT_GT(released.releasedBytes, length) << length;
        EXPECT_EQ(released.blocksNotWiped, 0u) << length;
    }
}

TEST(SecureStringTest, ReassigningOrShorteningLeavesNothingOfTheOldText)
{
    const std::pair<const char*, std::function<void(SecureString&)>> operations[] = {
        {"assign shorter", [](SecureString& s) { s = ToSecure("kurz"); }},
        {"assign longer", [](SecureString& s) { s = ToSecure(std::string(200000, 'L')); }},
        {"assign text", [](SecureString& s) { s = "a"; }},
        {"move in", [](SecureString& s) { s = ToSecure("neu"); }},
        {"move out", [](SecureString& s) { SecureString taken = std::move(s); }},
        {"swap out", [](SecureString& s) { SecureString().swap(s); }},
        {"clear", [](SecureString& s) { s.clear(); }},
        {"erase", [](SecureString& s) { s.erase(1); }},
        {"resize", [](SecureString& s) { s.resize(1); }},
        {"pop_back",
         [](SecureString& s)
         {
             s.resize(2);
             s.pop_back();
         }},
        {"replace", [](SecureString& s) { s.replace(0, SecureString::npos, "x"); }},
        {"grow",
         [](SecureString& s)
         {
             s.erase(2);
             s.append(300000, 'g');
         }},
        {"wipe", [](SecureString& s) { WipeString(s); }},
    };
    for (std::size_t length : kLengths)
    {
        if (length < 4)
        {
            continue; // the remnant below is the third and fourth byte
        }
        const std::string secret = Secret(length);
        for (const auto& [name, operation] : operations)
        {
            alignas(SecureString) unsigned char object[sizeof(SecureString)];
            auto* text = new (object) SecureString(ToSecure(secret));
            {
                ReleaseWatch released;
                operation(*text);
                EXPECT_EQ(released.blocksNotWiped, 0u) << name << " " << length;
            }
            const std::string_view remnant = std::string_view(secret).substr(2, 2);
            // Everything the string still owns: its object and its whole block.
            EXPECT_FALSE(Holds(object, sizeof(object), remnant)) << name << " " << length;
            EXPECT_FALSE(Holds(text->data(), text->capacity() + 1, remnant)) << name << " " << length;
            text->~SecureString();
        }
    }
}

TEST(SecureStringTest, BehavesAsAStringOfBytes)
{
    SecureString text("ab\0cd", 5);
    EXPECT_EQ(text.size(), 5u);
    text += "ef";
    text.push_back('\xE4');
    EXPECT_EQ(std::string_view(text), std::string_view("ab\0cdef\xE4", 8));
    EXPECT_EQ(text.c_str()[text.size()], '\0');
    text.replace(1, 3, text.data() + 4, 3); // from its own bytes
    EXPECT_EQ(std::string_view(text), "adefdef\xE4");
    text.append(text); // from its own bytes, growing
    EXPECT_EQ(text.substr(8), ToSecure("adefdef\xE4"));
    EXPECT_EQ(text.find("def", 5), 9u);
    EXPECT_EQ(text.find('z'), SecureString::npos);
    text.erase(2, 12);
    EXPECT_EQ(text, "adf\xE4");
    EXPECT_LT(ToSecure("abc"), ToSecure("abd"));
    EXPECT_EQ(ToSecure("x") + ToSecure("yz"), "xyz");
    SecureString empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(std::string_view(empty.c_str()), "");
}

#if defined(__linux__)

// The VmFlags of the mapping that holds the address.
std::string FlagsOfMappingAt(const void* address)
{
    auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line))
    {
        std::uintptr_t start = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> start >> dash >> end && dash == '-' && line.find(':') > line.find(' '))
        {
            inside = start <= at && at < end;
        }
        else if (inside && line.starts_with("VmFlags:"))
        {
            return line;
        }
    }
    return {};
}

bool LockLimitLeavesRoom()
{
    rlimit limit{};
    return getrlimit(RLIMIT_MEMLOCK, &limit) == 0 && (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= 4u << 20);
}

TEST(SecureMemoryTest, SecretPagesAreLeftOutOfCoreDumpsAndLockedWithinTheLimit)
{
    const bool lockable = LockLimitLeavesRoom();
    for (std::size_t length : {5u, 700u, 100000u})
    {
        SecureString neighbour = ToSecure(Secret(length));
        auto text = std::make_unique<SecureString>(ToSecure(Secret(length)));
        for (int round = 0; round < 2; ++round)
        {
            // The second round after a neighbour on the same pages was released.
            std::string flags = FlagsOfMappingAt(text->data());
            ASSERT_FALSE(flags.empty()) << length;
            EXPECT_NE(flags.find(" dd"), std::string::npos) << length << ": " << flags;
            if (lockable)
            {
                EXPECT_NE(flags.find(" lo"), std::string::npos) << length << ": " << flags;
            }
            WipeString(neighbour);
        }
    }
}

#endif

} // namespace
} // namespace kavelmark
