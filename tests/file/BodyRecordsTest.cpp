#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "file/BodyRecords.h"

namespace kavelmark
{
namespace
{

using testing::Records;

std::string U32(std::uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
    {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return bytes;
}

// Timestamp, count, each record as length and text, padding: as the writer lays a body out.
std::string Body(std::uint32_t count, const std::vector<std::string>& records, std::size_t padding)
{
    std::string body(21, 'T');
    body += U32(count);
    for (const std::string& record : records)
    {
        body += U32(static_cast<std::uint32_t>(record.size())) + record;
    }
    body.insert(body.end(), padding, '\0');
    return body;
}

// Feeds the body in pieces of the given size; true when it was taken whole.
bool FeedInPieces(const std::string& body, std::size_t pieceSize, PasswordStore& store)
{
    BodyRecords parser(body.size(), 1, 16);
    for (std::size_t offset = 0; offset < body.size(); offset += pieceSize)
    {
        if (!parser.Feed(std::string_view(body).substr(offset, pieceSize)))
        {
            return false;
        }
    }
    return parser.TakeInto(store);
}

const std::size_t kPieceSizes[] = {1, 2, 3, 4, 5, 7, 16, 21, 25, 29, 4096};

TEST(BodyRecordsTest, RecordsCutAnywhereByThePiecesComeOutWhole)
{
    const std::vector<std::string> records = {"_C__|_Bank_|_Konto_|_PIN (*)_|_TAN_|_", "", std::string(300, 'x'),
                                              "_E__|_Bank_|_Giro_|_|_1234_|_0815_|_|_", "a"};
    for (std::size_t padding : {1u, 7u, 16u})
    {
        for (std::size_t pieceSize : kPieceSizes)
        {
            PasswordStore store;
            store.RemoveAll();
            store.AddTail("before");
            ASSERT_TRUE(FeedInPieces(Body(5, records, padding), pieceSize, store)) << pieceSize << "/" << padding;
            std::vector<std::string> expected = {"before"};
            expected.insert(expected.end(), records.begin(), records.end());
            EXPECT_EQ(Records(store), expected) << pieceSize << "/" << padding;
        }
    }
    PasswordStore empty;
    empty.RemoveAll();
    EXPECT_TRUE(FeedInPieces(Body(0, {}, 16), 3, empty));
    EXPECT_EQ(empty.GetCount(), 0u);
}

TEST(BodyRecordsTest, ADamagedBodyAddsNothingWhereverThePiecesEnd)
{
    struct Case
    {
        const char* name;
        std::string body;
    };
    const Case cases[] = {
        {"fewer records than the count", Body(3, {"eins", "zwei"}, 4)},
        {"no padding", Body(2, {"eins", "zwei"}, 0)},
        {"seventeen bytes of padding", Body(2, {"eins", "zwei"}, 17)},
        {"a length beyond the body", std::string(21, 'T') + U32(1) + U32(40) + "kurz" + std::string(8, '\0')},
        {"a length of nearly 4 GiB", std::string(21, 'T') + U32(1) + U32(0xFFFFFFF0u) + std::string(16, '\0')},
        {"a count beyond the limit", Body(1'000'001, {}, 8)},
        {"the count cut off", std::string(21, 'T') + "\x01\x00"},
        {"only a timestamp", std::string(21, 'T')},
        {"nothing", ""},
    };
    for (const Case& c : cases)
    {
        for (std::size_t pieceSize : kPieceSizes)
        {
            PasswordStore store;
            const std::vector<std::string> before = Records(store);
            EXPECT_FALSE(FeedInPieces(c.body, pieceSize, store)) << c.name << " in pieces of " << pieceSize;
            EXPECT_EQ(Records(store), before) << c.name;
        }
    }
}

} // namespace
} // namespace kavelmark
