#include "platform/SecureString.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kavelmark
{
namespace
{

char* NewBlock(std::size_t capacity)
{
    if (capacity >= static_cast<std::size_t>(-1))
    {
        throw std::length_error("SecureString");
    }
    // Secret memory comes zeroed, as the invariant after the text needs.
    return static_cast<char*>(AllocateSecure(capacity + 1));
}

} // namespace

SecureString::SecureString(const char* text, size_type size)
{
    append(text, size);
}

SecureString::SecureString(size_type count, char c)
{
    append(count, c);
}

SecureString::SecureString(SecureString&& other) noexcept
    : data_(other.data_), size_(other.size_), capacity_(other.capacity_)
{
    other.data_ = nullptr;
    other.size_ = 0;
    other.capacity_ = 0;
}

SecureString::~SecureString()
{
    Release();
}

SecureString& SecureString::operator=(const SecureString& other)
{
    return assign(other.data(), other.size());
}

SecureString& SecureString::operator=(SecureString&& other) noexcept
{
    if (this != &other)
    {
        Release();
        swap(other);
    }
    return *this;
}

SecureString& SecureString::operator=(std::string_view text)
{
    return assign(text.data(), text.size());
}

SecureString& SecureString::assign(const char* text, size_type size)
{
    if (size > capacity_)
    {
        SecureString copy(text, size);
        swap(copy);
        return *this;
    }
    // The text may lie inside our own block; an empty one may have none at all.
    if (size != 0)
    {
        std::memmove(data_, text, size);
    }
    if (size < size_)
    {
        WipeBytes(data_ + size, size_ - size);
    }
    size_ = size;
    return *this;
}

void SecureString::reserve(size_type capacity)
{
    if (capacity > capacity_)
    {
        Reallocate(capacity);
    }
}

void SecureString::shrink_to_fit()
{
    if (size_ == 0)
    {
        Release();
    }
    else if (size_ < capacity_)
    {
        Reallocate(size_);
    }
}

void SecureString::resize(size_type size, char c)
{
    if (size <= size_)
    {
        Truncate(size);
    }
    else
    {
        append(size - size_, c);
    }
}

SecureString& SecureString::append(const char* text, size_type size)
{
    if (size == 0)
    {
        return *this;
    }
    if (size > capacity_ - size_)
    {
        if (size > static_cast<size_type>(-1) / 2 - size_)
        {
            throw std::length_error("SecureString");
        }
        // The old block stays alive until the copy is done: the text may lie inside it.
        size_type capacity = std::max(size_ + size, capacity_ + capacity_ / 2);
        char* block = NewBlock(capacity);
        std::memcpy(block, data(), size_);
        std::memcpy(block + size_, text, size);
        ReleaseSecure(data_, data_ != nullptr ? capacity_ + 1 : 0);
        data_ = block;
        capacity_ = capacity;
    }
    else
    {
        std::memmove(data_ + size_, text, size);
    }
    size_ += size;
    return *this;
}

SecureString& SecureString::append(size_type count, char c)
{
    if (count == 0)
    {
        return *this;
    }
    if (count > capacity_ - size_)
    {
        if (count > static_cast<size_type>(-1) / 2 - size_)
        {
            throw std::length_error("SecureString");
        }
        Reallocate(std::max(size_ + count, capacity_ + capacity_ / 2));
    }
    // The bytes after the text are zero already.
    if (c != '\0')
    {
        std::memset(data_ + size_, c, count);
    }
    size_ += count;
    return *this;
}

SecureString& SecureString::erase(size_type pos, size_type count)
{
    if (pos > size_)
    {
        throw std::out_of_range("SecureString::erase");
    }
    count = std::min(count, size_ - pos);
    std::memmove(data() + pos, data() + pos + count, size_ - pos - count);
    Truncate(size_ - count);
    return *this;
}

SecureString& SecureString::replace(size_type pos, size_type count, const char* text, size_type size)
{
    if (pos > size_)
    {
        throw std::out_of_range("SecureString::replace");
    }
    count = std::min(count, size_ - pos);
    // Built anew, so that a replacement taken from this text itself stays intact.
    SecureString result;
    result.reserve(size_ - count + size);
    result.append(data(), pos);
    result.append(text, size);
    result.append(data() + pos + count, size_ - pos - count);
    swap(result);
    return *this;
}

void SecureString::swap(SecureString& other) noexcept
{
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
}

void SecureString::Truncate(size_type size) noexcept
{
    if (size < size_)
    {
        WipeBytes(data_ + size, size_ - size);
        size_ = size;
    }
}

void SecureString::Reallocate(size_type capacity)
{
    size_type size = std::min(capacity, size_);
    char* block = NewBlock(capacity);
    std::memcpy(block, data(), size);
    Release();
    data_ = block;
    size_ = size;
    capacity_ = capacity;
}

void SecureString::Release() noexcept
{
    if (data_ != nullptr)
    {
        ReleaseSecure(data_, capacity_ + 1);
    }
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

} // namespace kavelmark
