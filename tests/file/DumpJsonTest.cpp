#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "file/port/DumpJson.h"
#include "platform/Cp1252.h"

namespace kavelmark
{
namespace
{

// Records that hold every byte value, in and out of order, next to JSON's own syntax and a
// record longer than several chunks.
std::vector<std::string> EveryByteRecords()
{
    std::string ascending;
    for (int b = 0; b < 256; ++b)
    {
        ascending.push_back(static_cast<char>(b));
    }
    std::string descending(ascending.rbegin(), ascending.rend());
    std::string long_;
    for (int i = 0; i < 40; ++i)
    {
        long_ += descending;
    }
    return {ascending,
            "",
            descending,
            "\",\"]}",
            "_C__|_Gr\xFC\xDF"
            "e_|_\x80_|_",
            long_};
}

// nlohmann's own writer on the same records, each converted code point by code point.
std::string NlohmannDump(int result, std::optional<std::string_view> version, const std::vector<std::string>& records)
{
    nlohmann::ordered_json output;
    output["result"] = result;
    output["version"] = version ? nlohmann::ordered_json(std::string(*version)) : nlohmann::ordered_json(nullptr);
    output["records"] = nlohmann::ordered_json::array();
    for (const std::string& record : records)
    {
        std::string utf8;
        for (const char c : record)
        {
            AppendUtf8(utf8, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
        }
        output["records"].push_back(utf8);
    }
    return output.dump() + "\n";
}

PasswordStore StoreOf(const std::vector<std::string>& records)
{
    PasswordStore store;
    store.RemoveAll();
    for (const std::string& record : records)
    {
        store.AddTail(record);
    }
    return store;
}

TEST(DumpJson, WritesWhatNlohmannWritesInChunksOfAnySize)
{
    const std::vector<std::string> records = EveryByteRecords();
    const PasswordStore store = StoreOf(records);
    struct Case
    {
        int result;
        std::optional<std::string_view> version;
        std::size_t chunkSize;
    };
    // Chunks of 6 and 7 bytes end inside escapes and multi-byte characters.
    const Case cases[] = {
        {0, "V0.3", kDumpChunkSize},
        {-1, "V0.2", 6},
        {-2, std::nullopt, 7},
        {2, "V0.1", 1000},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.chunkSize);
        std::string written;
        std::size_t chunks = 0;
        const bool ok = WriteDumpJson(
            c.result, c.version, store,
            [&](std::string_view chunk)
            {
                EXPECT_LE(chunk.size(), c.chunkSize);
                written += chunk;
                ++chunks;
                return true;
            },
            c.chunkSize);
        EXPECT_TRUE(ok);
        EXPECT_EQ(written, NlohmannDump(c.result, c.version, records));
        EXPECT_EQ(chunks > 1, written.size() > c.chunkSize);
    }
}

TEST(DumpJson, EmptyStoreAndRefusedOutput)
{
    const PasswordStore empty = StoreOf({});
    std::string written;
    EXPECT_TRUE(WriteDumpJson(-1, "V0.3", empty,
                              [&](std::string_view chunk)
                              {
                                  written += chunk;
                                  return true;
                              }));
    EXPECT_EQ(written, "{\"result\":-1,\"version\":\"V0.3\",\"records\":[]}\n");

    // After a refused chunk the sink hears nothing more.
    const PasswordStore store = StoreOf(EveryByteRecords());
    int calls = 0;
    EXPECT_FALSE(WriteDumpJson(
        0, std::nullopt, store,
        [&](std::string_view)
        {
            ++calls;
            return false;
        },
        64));
    EXPECT_EQ(calls, 1);
}

TEST(DumpJson, WipesEachChunkAfterItIsWritten)
{
    // The buffer behind a short last chunk must not hold the records of the chunks before it.
    constexpr std::size_t kChunk = 256;
    const PasswordStore store = StoreOf({std::string(1000, 'S')});
    std::string tail;
    WriteDumpJson(
        0, "V0.3", store,
        [&](std::string_view chunk)
        {
            tail.assign(chunk.data() + chunk.size(), kChunk - chunk.size());
            return true;
        },
        kChunk);
    ASSERT_FALSE(tail.empty());
    EXPECT_EQ(tail.find_first_not_of('\0'), std::string::npos);
}

} // namespace
} // namespace kavelmark
