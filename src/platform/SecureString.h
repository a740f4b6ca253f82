#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

namespace kavelmark
{

// Overwrites memory in a way the optimiser may not drop.
inline void WipeBytes(void* data, std::size_t size) noexcept
{
    volatile unsigned char* p = static_cast<volatile unsigned char*>(data);
    while (size--)
    {
        *p++ = 0;
    }
}

// Allocator that wipes every block before giving it back, so passwords and decrypted
// records do not linger in freed heap memory.
template <class T>
struct WipingAllocator
{
    using value_type = T;

    WipingAllocator() noexcept = default;
    template <class U>
    WipingAllocator(const WipingAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept
    {
        WipeBytes(p, n * sizeof(T));
        ::operator delete(p);
    }

    template <class U>
    bool operator==(const WipingAllocator<U>&) const noexcept
    {
        return true;
    }
};

// 8-bit text (code page 1252 bytes) that holds a secret: a password or a decrypted record.
using SecureString = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

inline SecureString ToSecure(std::string_view text)
{
    return SecureString(text.data(), text.size());
}

// Wipes the string's whole buffer (also the short-string buffer inside the object).
template <class Alloc>
void WipeString(std::basic_string<char, std::char_traits<char>, Alloc>& text) noexcept
{
    text.resize(text.capacity());
    WipeBytes(text.data(), text.size());
    text.clear();
}

} // namespace kavelmark
