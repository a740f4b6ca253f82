#include <gtest/gtest.h>

#include <string>

#include <crypto++/modes.h>
#include <crypto++/twofish.h>

#include "crypto/CipherEngine.h"
#include "support/MessageRecorder.h"

namespace kavelmark
{
namespace
{

std::string FromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    {
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(std::string_view bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes)
    {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

std::string Encrypted(std::string_view data, std::string_view password)
{
    CipherEngine engine(ToSecure(data));
    SecureString result = engine.Encrypt(password);
    return std::string(result.data(), result.size());
}

// The first ciphertext block is the plain Twofish encryption of the first plaintext block,
// so the published known-answer vectors hold for it.
TEST(CipherEngineTest, FirstBlockMatchesPublishedTwofishVectors)
{
    struct Case
    {
        const char* key;
        const char* cipherText;
    };
    const Case cases[] = {
        {"00000000000000000000000000000000", "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
        {"0123456789ABCDEFFEDCBA98765432100011223344556677", "CFD1D2E5A9BE9CDF501F13B892BD2248"},
        {"0123456789ABCDEFFEDCBA987654321000112233445566778899AABBCCDDEEFF", "37527BE0052334B89F0CFCCAE87CFA20"},
        {"000000000000000000000000000000000000000000000000", "EFA71F788965BD4453F860178FC19101"},
        {"0000000000000000000000000000000000000000000000000000000000000000", "57FF739D4DC92C1BD7FC01700CC8216F"},
    };
    for (const Case& c : cases)
    {
        std::string cipherText = Encrypted(std::string(16, '\0'), FromHex(c.key));
        ASSERT_EQ(cipherText.size(), 32u);
        EXPECT_EQ(ToHex(cipherText.substr(0, 16)), c.cipherText) << c.key;
    }
    // The empty password is the all-zero 128-bit key.
    EXPECT_EQ(ToHex(Encrypted(std::string(16, '\0'), "").substr(0, 16)), "9F589F5CF6122C32B6BFEC2F2AE8C35A");
}

TEST(CipherEngineTest, ShortKeysAreZeroExtendedToTheNextTwofishKeySize)
{
    const std::string data = "some plaintext that spans more than one block";
    const std::pair<std::string, std::size_t> cases[] = {
        {"a", 16}, {"sixteen-chars-ok", 16}, {"seventeen-chars-x", 24}, {"twenty-five-characters-xx", 32}};
    for (const auto& [password, keySize] : cases)
    {
        std::string extended = password + std::string(keySize - password.size(), '\0');
        EXPECT_EQ(Encrypted(data, password), Encrypted(data, extended)) << password;
    }
    // 16 and 24 bytes are different key sizes, not one key padded two ways.
    EXPECT_NE(Encrypted(data, std::string(16, 'k')), Encrypted(data, std::string(16, 'k') + std::string(8, '\0')));
}

TEST(CipherEngineTest, PadsToWholeBlocksAndDecryptsBackWithAZeroByteAfterTheData)
{
    const std::pair<std::size_t, std::size_t> cases[] = {{0, 16}, {1, 16}, {15, 16}, {16, 32}, {37, 48}, {48, 64}};
    for (const auto& [length, padded] : cases)
    {
        std::string data;
        for (std::size_t i = 0; i < length; ++i)
        {
            data.push_back(static_cast<char>(i * 37 + 1)); // includes bytes >= 128, never zero at the end
        }
        CipherEngine engine(ToSecure(data));
        SecureString cipherText = engine.Encrypt("Kennwort");
        ASSERT_EQ(cipherText.size(), padded);
        EXPECT_EQ(engine.Data(), cipherText);

        SecureString plain = engine.Decrypt("Kennwort");
        ASSERT_EQ(plain.size(), padded);
        EXPECT_EQ(std::string_view(plain).substr(0, length), data);
        EXPECT_EQ(plain[length], '\0');
    }
}

TEST(CipherEngineTest, ChainingCarriesAChangeIntoEveryLaterBlockOnly)
{
    std::string data(64, 'x');
    std::string changed = data;
    changed[20] = 'y'; // inside block 1
    std::string a = Encrypted(data, "pw");
    std::string b = Encrypted(changed, "pw");
    ASSERT_EQ(a.size(), 80u);
    EXPECT_EQ(a, Encrypted(data, "pw")); // fixed initial value: deterministic
    EXPECT_EQ(a.substr(0, 16), b.substr(0, 16));
    for (std::size_t block = 1; block < 5; ++block)
    {
        EXPECT_NE(a.substr(block * 16, 16), b.substr(block * 16, 16)) << block;
    }
    // Identical plaintext blocks give different ciphertext blocks.
    EXPECT_NE(a.substr(16, 16), a.substr(32, 16));
}

// Crypto++'s own CBC mode with a zero initial value, run over the same blocks, is the
// independent reference: any other reader of the file must get the same bytes.
TEST(CipherEngineTest, EveryBlockMatchesStandardCbcWithAZeroInitialValue)
{
    struct Case
    {
        std::string password;
        std::size_t keySize;
        std::size_t length;
    };
    const Case cases[] = {
        {"Kennwort", 16, 40}, {"seventeen-chars-x", 24, 64}, {"twenty-five-characters-xx", 32, 100}, {"", 16, 33}};
    for (const Case& c : cases)
    {
        std::string data;
        for (std::size_t i = 0; i < c.length; ++i)
        {
            data.push_back(static_cast<char>(i * 91 + 7));
        }
        // Zero padding: the first pad byte must be zero and the rest are ours to choose.
        std::string padded = data + std::string(CipherEngine::kBlockSize - c.length % CipherEngine::kBlockSize, '\0');
        std::string key = c.password + std::string(c.keySize - c.password.size(), '\0');
        const unsigned char zeroIv[CipherEngine::kBlockSize] = {};
        CryptoPP::CBC_Mode<CryptoPP::Twofish>::Encryption reference(reinterpret_cast<const unsigned char*>(key.data()),
                                                                    key.size(), zeroIv);
        std::string expected(padded.size(), '\0');
        reference.ProcessData(reinterpret_cast<unsigned char*>(expected.data()),
                              reinterpret_cast<const unsigned char*>(padded.data()), padded.size());

        EXPECT_EQ(ToHex(Encrypted(data, c.password)), ToHex(expected)) << c.password;

        CipherEngine engine(ToSecure(expected));
        SecureString plain = engine.Decrypt(c.password);
        EXPECT_EQ(ToHex(std::string_view(plain.data(), plain.size())), ToHex(padded)) << c.password;
    }
}

TEST(CipherEngineTest, DataThatIsNotWholeBlocksIsNotDecrypted)
{
    for (std::size_t length : {0u, 5u, 15u, 17u, 33u})
    {
        std::string data(length, 'q');
        CipherEngine engine(ToSecure(data));
        EXPECT_EQ(engine.Decrypt("pw"), ToSecure(data)) << length;
    }
}

TEST(CipherEngineTest, KeysOverThirtyTwoBytesAreCutWithOneMessagePerCall)
{
    testing::MessageRecorder recorder;
    const std::string data = "geheime Daten";
    std::string exact(32, 'k');
    std::string longer = exact + "EXTRA";

    std::string reference = Encrypted(data, exact);
    EXPECT_TRUE(recorder.messages.empty());

    CipherEngine engine(ToSecure(data));
    EXPECT_EQ(engine.Encrypt(longer), ToSecure(reference));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Schlüssellämge");
    EXPECT_EQ(recorder.messages[0].text, "Die maximale Schlüssellänge ist 32 Zeichen. Der Schlüssel wird gekürzt.");
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);

    engine.Decrypt(longer);
    EXPECT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(std::string_view(engine.Data()).substr(0, data.size()), data);
}

// The stack below the caller's frame, as far as these helpers reach down.
constexpr std::size_t kStackReach = 48 * 1024;

[[gnu::noinline]] void ClearStackBelow()
{
    volatile unsigned char area[kStackReach + 16 * 1024];
    for (auto& byte : area)
    {
        byte = 0;
    }
}

[[gnu::noinline]] void LeaveOnStack(std::string_view bytes)
{
    volatile char copy[64];
    for (std::size_t i = 0; i < bytes.size() && i < sizeof(copy); ++i)
    {
        copy[i] = bytes[i];
    }
}

[[gnu::noinline]] void RunCipher(std::string_view password)
{
    CipherEngine engine(ToSecure(std::string(100, 'd')));
    engine.EncryptInPlace(password);
    engine.DecryptInPlace(password);
}

// Reads the dead frames below the given frame on purpose: not a use of any object, so
// unchecked.
[[gnu::noinline, gnu::no_sanitize_address]] bool StackBelowHolds(const void* frame, std::string_view pattern)
{
    const auto* top = static_cast<const volatile unsigned char*>(frame);
    for (std::size_t offset = pattern.size(); offset < kStackReach; ++offset)
    {
        const volatile unsigned char* at = top - offset;
        std::size_t i = 0;
        while (i < pattern.size() && at[i] == static_cast<unsigned char>(pattern[i]))
        {
            ++i;
        }
        if (i == pattern.size())
        {
            return true;
        }
    }
    return false;
}

TEST(CipherEngineTest, LeavesNoKeyOnTheStack)
{
    const std::string password = "ein Kennwort aus 26 Zeichen";
    const std::string paddedKey = password + std::string(CipherEngine::kMaxKeyLength - password.size(), '\0');

    // The real frame, also where the sanitizer moves locals to a heap stack.
    const void* frame = __builtin_frame_address(0);
    // The scan must be able to see what a returned frame left, or it proves nothing.
    ClearStackBelow();
    LeaveOnStack(paddedKey);
    if (!StackBelowHolds(frame, paddedKey))
    {
        GTEST_SKIP() << "returned frames are not on this stack (sanitizer's fake stack)";
    }

    ClearStackBelow();
    RunCipher(password);
    EXPECT_FALSE(StackBelowHolds(frame, paddedKey));
    EXPECT_FALSE(StackBelowHolds(frame, password.substr(0, 16)));
}

TEST(LegacySeedTest, SumsPositionTimesSignedByteOnTopOf42)
{
    const std::pair<std::string, std::uint64_t> cases[] = {
        {"", 42},
        {"A", 42 + 65},
        {"\x7F", 42 + 127},
        {"\xE4", (std::uint64_t{1} << 32) + 42 + 0xE4 - 256}, // the carry reaches the upper half
        {"ab", 42 + 97 + 2 * 98},
        {"a\xFF", 42 + 97 + std::uint64_t{0xFFFFFFFE}},
    };
    for (const auto& [password, seed] : cases)
    {
        EXPECT_EQ(ComputeLegacySeed(password), seed) << password;
    }
}

TEST(LegacyScrambleTest, KeyStreamRunsOnAcrossCallsAndUndoesItself)
{
    LegacyScramble zeros(42);
    EXPECT_EQ(zeros.Apply(std::string(3, '\0')), ToSecure("\x2A\x56\x84")); // 42, 86, 132
    // The counters continue: the fourth byte uses 4 * 45.
    EXPECT_EQ(zeros.Apply(std::string(1, '\0')), ToSecure(std::string(1, static_cast<char>(4 * 45 % 256))));

    const std::string text("Verschlüsselt\0mit Nullbyte", 27);
    ASSERT_EQ(text[14], '\0');
    LegacyScramble scramble(0x1234567890ULL);
    SecureString first = scramble.Apply(text.substr(0, 5));
    SecureString rest = scramble.Apply(text.substr(5));
    LegacyScramble unscramble(0x1234567890ULL);
    EXPECT_EQ(unscramble.Apply(first + rest), ToSecure(text));
    // Only the lowest 8 bits of the seed matter.
    EXPECT_EQ(LegacyScramble(0x190).Apply(text), LegacyScramble(0x90).Apply(text));
}

} // namespace
} // namespace kavelmark
