#pragma once

#include <compare>
#include <cstddef>
#include <new>
#include <string>
#include <string_view>

#include "platform/SecureMemory.h"

namespace kavelmark
{

// Allocator of secret memory: every block is wiped before it is given back, and its pages are
// kept out of core dumps and swap as far as the system allows.
template <class T> struct WipingAllocator
{
    using value_type = T;

    WipingAllocator() noexcept = default;
    template <class U> WipingAllocator(const WipingAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
        {
            throw std::bad_alloc();
        }
        return static_cast<T*>(AllocateSecure(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        ReleaseSecure(p, n * sizeof(T));
    }

    template <class U> bool operator==(const WipingAllocator<U>&) const noexcept
    {
        return true;
    }
};

// 8-bit text (code page 1252 bytes) that holds a secret: a password or a decrypted record.
// Unlike std::string it never keeps characters inside the object (a short-string buffer would
// be freed unwiped): the characters live in secret memory only, and every byte the text gives
// up (when it shrinks, moves, grows into a new block or ends) is wiped at once.
class SecureString
{
public:
    using value_type = char;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using traits_type = std::char_traits<char>;
    using reference = char&;
    using const_reference = const char&;
    using pointer = char*;
    using const_pointer = const char*;
    using iterator = char*;
    using const_iterator = const char*;
    static constexpr size_type npos = std::string_view::npos;

    SecureString() noexcept = default;
    SecureString(const char* text, size_type size);
    SecureString(size_type count, char c);
    SecureString(const char* text) : SecureString(text, traits_type::length(text))
    {
    }
    explicit SecureString(std::string_view text) : SecureString(text.data(), text.size())
    {
    }
    SecureString(const SecureString& other) : SecureString(other.data(), other.size())
    {
    }
    SecureString(SecureString&& other) noexcept;
    ~SecureString();

    SecureString& operator=(const SecureString& other);
    SecureString& operator=(SecureString&& other) noexcept;
    SecureString& operator=(std::string_view text);
    SecureString& operator=(const char* text)
    {
        return operator=(std::string_view(text));
    }
    SecureString& assign(const char* text, size_type size);
    SecureString& assign(std::string_view text)
    {
        return assign(text.data(), text.size());
    }

    const char* data() const noexcept
    {
        return data_ != nullptr ? data_ : &emptyText;
    }
    char* data() noexcept
    {
        return data_ != nullptr ? data_ : &emptyText;
    }
    const char* c_str() const noexcept
    {
        return data();
    }
    size_type size() const noexcept
    {
        return size_;
    }
    size_type length() const noexcept
    {
        return size_;
    }
    size_type capacity() const noexcept
    {
        return capacity_;
    }
    bool empty() const noexcept
    {
        return size_ == 0;
    }
    operator std::string_view() const noexcept
    {
        return std::string_view(data(), size_);
    }

    char& operator[](size_type pos) noexcept
    {
        return data()[pos];
    }
    const char& operator[](size_type pos) const noexcept
    {
        return data()[pos];
    }
    char& front() noexcept
    {
        return data_[0];
    }
    const char& front() const noexcept
    {
        return data_[0];
    }
    char& back() noexcept
    {
        return data_[size_ - 1];
    }
    const char& back() const noexcept
    {
        return data_[size_ - 1];
    }
    iterator begin() noexcept
    {
        return data();
    }
    iterator end() noexcept
    {
        return data() + size_;
    }
    const_iterator begin() const noexcept
    {
        return data();
    }
    const_iterator end() const noexcept
    {
        return data() + size_;
    }
    const_iterator cbegin() const noexcept
    {
        return begin();
    }
    const_iterator cend() const noexcept
    {
        return end();
    }

    void reserve(size_type capacity);
    void shrink_to_fit();
    void resize(size_type size, char c = '\0');
    void clear() noexcept
    {
        Truncate(0);
    }
    void push_back(char c)
    {
        append(1, c);
    }
    void pop_back() noexcept
    {
        Truncate(size_ - 1);
    }
    SecureString& append(const char* text, size_type size);
    SecureString& append(std::string_view text)
    {
        return append(text.data(), text.size());
    }
    SecureString& append(size_type count, char c);
    SecureString& operator+=(std::string_view text)
    {
        return append(text);
    }
    SecureString& operator+=(const char* text)
    {
        return append(std::string_view(text));
    }
    SecureString& operator+=(char c)
    {
        return append(1, c);
    }
    SecureString& insert(size_type pos, std::string_view text)
    {
        return replace(pos, 0, text.data(), text.size());
    }
    iterator insert(const_iterator at, char c)
    {
        const auto pos = static_cast<size_type>(at - data());
        replace(pos, 0, &c, 1);
        return data() + pos;
    }
    SecureString& erase(size_type pos = 0, size_type count = npos);
    SecureString& replace(size_type pos, size_type count, const char* text, size_type size);
    SecureString& replace(size_type pos, size_type count, std::string_view text)
    {
        return replace(pos, count, text.data(), text.size());
    }
    void swap(SecureString& other) noexcept;

    SecureString substr(size_type pos = 0, size_type count = npos) const
    {
        return SecureString(std::string_view(*this).substr(pos, count));
    }
    size_type find(std::string_view text, size_type pos = 0) const noexcept
    {
        return std::string_view(*this).find(text, pos);
    }
    size_type find(const char* text, size_type pos, size_type size) const noexcept
    {
        return std::string_view(*this).find(text, pos, size);
    }
    size_type find(const char* text, size_type pos = 0) const noexcept
    {
        return std::string_view(*this).find(text, pos);
    }
    size_type find(char c, size_type pos = 0) const noexcept
    {
        return std::string_view(*this).find(c, pos);
    }
    size_type rfind(std::string_view text, size_type pos = npos) const noexcept
    {
        return std::string_view(*this).rfind(text, pos);
    }
    size_type rfind(char c, size_type pos = npos) const noexcept
    {
        return std::string_view(*this).rfind(c, pos);
    }
    int compare(std::string_view other) const noexcept
    {
        return std::string_view(*this).compare(other);
    }
    bool starts_with(std::string_view prefix) const noexcept
    {
        return std::string_view(*this).starts_with(prefix);
    }
    bool ends_with(std::string_view suffix) const noexcept
    {
        return std::string_view(*this).ends_with(suffix);
    }

    friend bool operator==(const SecureString& a, const SecureString& b) noexcept
    {
        return std::string_view(a) == std::string_view(b);
    }
    friend bool operator==(const SecureString& a, std::string_view b) noexcept
    {
        return std::string_view(a) == b;
    }
    friend bool operator==(const SecureString& a, const char* b) noexcept
    {
        return std::string_view(a) == std::string_view(b);
    }
    friend std::strong_ordering operator<=>(const SecureString& a, const SecureString& b) noexcept
    {
        return std::string_view(a) <=> std::string_view(b);
    }
    friend SecureString operator+(const SecureString& a, std::string_view b)
    {
        SecureString sum;
        sum.reserve(a.size() + b.size());
        sum.append(a);
        sum.append(b);
        return sum;
    }
    friend void swap(SecureString& a, SecureString& b) noexcept
    {
        a.swap(b);
    }

private:
    // Wipes everything from the new end on; the block is kept.
    void Truncate(size_type size) noexcept;
    // Moves the text into a block of the given capacity; the old block is wiped.
    void Reallocate(size_type capacity);
    void Release() noexcept;

    // Terminator of every empty text; never written but with zero.
    static inline char emptyText = '\0';

    // capacity_ + 1 bytes (room for the terminator); everything after size_ is zero.
    char* data_ = nullptr;
    size_type size_ = 0;
    size_type capacity_ = 0;
};

inline SecureString ToSecure(std::string_view text)
{
    return SecureString(text.data(), text.size());
}

// Wipes the whole text and gives its memory back.
inline void WipeString(SecureString& text) noexcept
{
    SecureString().swap(text);
}

// Wipes an ordinary string's whole buffer (also the short-string buffer inside the object),
// for text that passed through one before it reached secret memory.
template <class Alloc> void WipeString(std::basic_string<char, std::char_traits<char>, Alloc>& text) noexcept
{
    text.resize(text.capacity());
    WipeBytes(text.data(), text.size());
    text.clear();
}

} // namespace kavelmark
