#include "file/BodyRecords.h"

#include <algorithm>

#include "file/LittleEndian.h"
#include "file/PasswordFile.h"

namespace kavelmark
{
namespace
{

constexpr std::size_t kHeadLength = PasswordFile::kTimestampLength + 4;

std::uint32_t U32Of(std::string_view bytes, std::size_t offset)
{
    return U32At(reinterpret_cast<const unsigned char*>(bytes.data() + offset));
}

} // namespace

BodyRecords::BodyRecords(std::uint64_t bodyLength, std::size_t minPadding, std::size_t maxPadding)
    : bodyLength_(bodyLength), minPadding_(minPadding), maxPadding_(maxPadding), wanted_(kHeadLength)
{
    records_.RemoveAll();
}

// The next wanted_ bytes as one field: a view into the piece where they lie in it whole, else
// gathered in pending_ across pieces. False while they are not all there.
bool BodyRecords::Gather(std::string_view& piece, std::string_view& field)
{
    if (pending_.empty() && piece.size() >= wanted_)
    {
        field = piece.substr(0, wanted_);
        piece.remove_prefix(wanted_);
        offset_ += wanted_;
        return true;
    }
    const std::size_t count = std::min(wanted_ - pending_.size(), piece.size());
    pending_.append(piece.data(), count);
    piece.remove_prefix(count);
    offset_ += count;
    field = pending_;
    return pending_.size() == wanted_;
}

void BodyRecords::NextRecord()
{
    if (taken_ == count_)
    {
        recordsEnd_ = offset_;
        step_ = Step::Padding;
    }
    else if (bodyLength_ - offset_ < 4 + minPadding_)
    {
        step_ = Step::Damaged;
    }
    else
    {
        step_ = Step::Length;
        wanted_ = 4;
    }
}

void BodyRecords::Complete(std::string_view field)
{
    switch (step_)
    {
    case Step::Head:
        count_ = U32Of(field, PasswordFile::kTimestampLength);
        if (count_ > PasswordFile::kMaxRecords)
        {
            step_ = Step::Damaged;
            break;
        }
        NextRecord();
        break;
    case Step::Length:
    {
        const std::uint32_t length = U32Of(field, 0);
        // Checked against what the body can still hold before anything of that size is taken.
        if (bodyLength_ - offset_ < std::uint64_t{length} + minPadding_)
        {
            step_ = Step::Damaged;
            break;
        }
        step_ = Step::Text;
        wanted_ = length;
        if (length == 0)
        {
            records_.AddTail({});
            ++taken_;
            NextRecord();
        }
        break;
    }
    case Step::Text:
        records_.AddTail(field);
        ++taken_;
        NextRecord();
        break;
    case Step::Padding:
    case Step::Damaged:
        break;
    }
    pending_.clear();
}

bool BodyRecords::Feed(std::string_view piece)
{
    std::string_view field;
    while (!piece.empty() && (step_ == Step::Head || step_ == Step::Length || step_ == Step::Text))
    {
        if (Gather(piece, field))
        {
            Complete(field);
        }
    }
    if (step_ == Step::Padding)
    {
        offset_ += piece.size();
    }
    return step_ != Step::Damaged;
}

bool BodyRecords::TakeInto(PasswordStore& store)
{
    const std::uint64_t padding = bodyLength_ - recordsEnd_;
    if (step_ != Step::Padding || offset_ != bodyLength_ || padding < minPadding_ || padding > maxPadding_)
    {
        return false;
    }
    store.TakeAll(records_);
    return true;
}

} // namespace kavelmark
