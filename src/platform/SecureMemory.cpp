#include "platform/SecureMemory.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/mman.h>
#include <unistd.h>
#define KAVELMARK_SECURE_PAGES 1
#endif

#if defined(__SANITIZE_ADDRESS__)
#define KAVELMARK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KAVELMARK_ASAN 1
#endif
#endif
#if defined(KAVELMARK_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace kavelmark
{
namespace
{

std::atomic<SecureReleaseHook> releaseHook{nullptr};

void Released(void* block, std::size_t size) noexcept
{
    if (SecureReleaseHook hook = releaseHook.load())
    {
        hook(block, size);
    }
}

#if defined(KAVELMARK_ASAN)
// Free blocks are poisoned, so that a use after release is still caught inside the pool.
void Poison(void* block, std::size_t size)
{
    ASAN_POISON_MEMORY_REGION(block, size);
}
void Unpoison(void* block, std::size_t size)
{
    ASAN_UNPOISON_MEMORY_REGION(block, size);
}
#else
void Poison(void*, std::size_t)
{
}
void Unpoison(void*, std::size_t)
{
}
#endif

#if defined(KAVELMARK_SECURE_PAGES)

// Blocks up to kLargestClass bytes are cut from chunks of one size class each; larger ones get
// pages of their own. Classes grow by half a step at most, so rounding wastes at most a third.
// A class's chunks double from the first size to the last, so that a store of many records
// maps its memory in few steps while a small one stays small.
constexpr std::size_t kFirstChunkSize = 64 * 1024;
constexpr std::size_t kLastChunkSize = 256 * 1024;
constexpr std::array<std::size_t, 20> kClassSizes = {16,  32,   48,   64,   96,   128,  192,  256,  384,   512,
                                                     768, 1024, 1536, 2048, 3072, 4096, 6144, 8192, 12288, 16384};
constexpr std::size_t kLargestClass = kClassSizes.back();

std::size_t PageSize()
{
    static const std::size_t size = []
    {
        long page = sysconf(_SC_PAGESIZE);
        return page > 0 ? static_cast<std::size_t>(page) : std::size_t{4096};
    }();
    return size;
}

// Fresh pages, left out of core dumps and locked where the limit allows. A large block is put
// in place at once, as its one owner is about to fill it and one call does that for far less
// than a fault on each page as it is first touched; a chunk of small blocks fills slowly, and
// only the pages it reaches take memory.
enum class Populate
{
    Now,
    OnTouch,
};

void* MapSecretPages(std::size_t size, Populate populate)
{
    const int flags = MAP_PRIVATE | MAP_ANONYMOUS;
    void* pages = mmap(nullptr, size, PROT_READ | PROT_WRITE, flags, -1, 0);
    if (pages == MAP_FAILED)
    {
        return nullptr;
    }
#if defined(MADV_HUGEPAGE)
    // A large block is written whole at once: in pages of 2 MB that costs a fraction of the
    // faults and translations.
    if (populate == Populate::Now)
    {
        madvise(pages, size, MADV_HUGEPAGE);
    }
#endif
#if defined(MADV_DONTDUMP)
    madvise(pages, size, MADV_DONTDUMP);
#endif
    // Best effort: beyond RLIMIT_MEMLOCK the pages stay swappable. Locked as they are first
    // touched where the system can, so that capacity reserved but never used costs no RAM.
#if defined(MLOCK_ONFAULT)
    if (mlock2(pages, size, MLOCK_ONFAULT) != 0 && errno == ENOSYS)
    {
        mlock(pages, size);
    }
#else
    mlock(pages, size);
#endif
#if defined(MADV_POPULATE_WRITE)
    // After the lock, so that the pages put in place are locked too. Where the kernel cannot,
    // they come as they are first touched.
    if (populate == Populate::Now)
    {
        madvise(pages, size, MADV_POPULATE_WRITE);
    }
#endif
    return pages;
}

// Only pages in RAM are written: the others were never touched, or lie in swap, where
// writing would first read them back in. So a large block that was reserved but barely used
// costs no memory when it goes.
void WipeResidentPages(void* pages, std::size_t size)
{
#if defined(__linux__)
    const std::size_t page = PageSize();
    unsigned char resident[256];
    auto* bytes = static_cast<unsigned char*>(pages);
    for (std::size_t offset = 0; offset < size; offset += sizeof(resident) * page)
    {
        std::size_t span = std::min(size - offset, sizeof(resident) * page);
        if (mincore(bytes + offset, span, resident) != 0)
        {
            WipeBytes(bytes + offset, span);
            continue;
        }
        for (std::size_t i = 0; i * page < span; ++i)
        {
            if (resident[i] & 1)
            {
                WipeBytes(bytes + offset + i * page, std::min(page, span - i * page));
            }
        }
    }
#else
    WipeBytes(pages, size);
#endif
}

std::size_t ClassOf(std::size_t size)
{
    std::size_t index = 0;
    while (kClassSizes[index] < size)
    {
        ++index;
    }
    return index;
}

class Pool
{
public:
    void* Allocate(std::size_t size)
    {
        if (size > kLargestClass)
        {
            void* pages = MapSecretPages(RoundToPages(size), Populate::Now);
            if (pages == nullptr)
            {
                throw std::bad_alloc();
            }
            return pages;
        }
        std::size_t index = ClassOf(size);
        std::lock_guard<std::mutex> lock(mutex_);
        SizeClass& sizeClass = classes_[index];
        void* block = nullptr;
        if (sizeClass.freeList != nullptr)
        {
            block = sizeClass.freeList;
            Unpoison(block, sizeof(FreeBlock));
            sizeClass.freeList = sizeClass.freeList->next;
            static_cast<FreeBlock*>(block)->next = nullptr;
        }
        else
        {
            if (sizeClass.unused == nullptr || sizeClass.unusedSize < kClassSizes[index])
            {
                const std::size_t chunkSize = sizeClass.nextChunkSize;
                void* chunk = MapSecretPages(chunkSize, Populate::OnTouch);
                if (chunk == nullptr)
                {
                    throw std::bad_alloc();
                }
                Poison(chunk, chunkSize);
                sizeClass.unused = static_cast<unsigned char*>(chunk);
                sizeClass.unusedSize = chunkSize;
                sizeClass.nextChunkSize = std::min(chunkSize * 2, kLastChunkSize);
            }
            block = sizeClass.unused;
            sizeClass.unused += kClassSizes[index];
            sizeClass.unusedSize -= kClassSizes[index];
        }
        Unpoison(block, size);
        return block;
    }

    void Release(void* block, std::size_t size) noexcept
    {
        if (size > kLargestClass)
        {
            WipeResidentPages(block, size);
            Released(block, size);
            munmap(block, RoundToPages(size));
            return;
        }
        std::size_t index = ClassOf(size);
        WipeBytes(block, size);
        Released(block, size);
        std::lock_guard<std::mutex> lock(mutex_);
        SizeClass& sizeClass = classes_[index];
        Unpoison(block, sizeof(FreeBlock));
        static_cast<FreeBlock*>(block)->next = sizeClass.freeList;
        sizeClass.freeList = static_cast<FreeBlock*>(block);
        Poison(block, kClassSizes[index]);
    }

private:
    struct FreeBlock
    {
        FreeBlock* next;
    };
    struct SizeClass
    {
        FreeBlock* freeList = nullptr;
        unsigned char* unused = nullptr;
        std::size_t unusedSize = 0;
        std::size_t nextChunkSize = kFirstChunkSize;
    };

    static std::size_t RoundToPages(std::size_t size)
    {
        std::size_t page = PageSize();
        if (size > static_cast<std::size_t>(-1) - page)
        {
            throw std::bad_alloc();
        }
        return (size + page - 1) / page * page;
    }

    std::mutex mutex_;
    std::array<SizeClass, kClassSizes.size()> classes_{};
};

// Never destroyed: secret strings with static storage are released after every destructor
// of this file could have run.
Pool& ThePool()
{
    alignas(Pool) static unsigned char storage[sizeof(Pool)];
    static Pool* pool = new (storage) Pool();
    return *pool;
}

#endif

} // namespace

void* AllocateSecure(std::size_t size)
{
    size = size == 0 ? 1 : size;
#if defined(KAVELMARK_SECURE_PAGES)
    return ThePool().Allocate(size);
#else
    void* block = ::operator new(size);
    std::memset(block, 0, size);
    return block;
#endif
}

void ReleaseSecure(void* block, std::size_t size) noexcept
{
    if (block == nullptr)
    {
        return;
    }
    size = size == 0 ? 1 : size;
#if defined(KAVELMARK_SECURE_PAGES)
    ThePool().Release(block, size);
#else
    WipeBytes(block, size);
    Released(block, size);
    ::operator delete(block);
#endif
}

void SetSecureReleaseHook(SecureReleaseHook hook) noexcept
{
    releaseHook.store(hook);
}

} // namespace kavelmark
