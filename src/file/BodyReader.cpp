#include "file/BodyReader.h"

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace kavelmark
{
namespace
{

constexpr std::size_t kBlock = CipherEngine::kBlockSize;
constexpr std::size_t kSliceSize = kBodySliceSize;

using Block = std::array<unsigned char, kBlock>;

void Pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// A ring of slices between the reading thread and the decrypting ones. Handing on and taking
// back are a flag each: waking a sleeping thread costs more than a slice takes to decrypt, so
// that nobody sleeps; the reader decrypts slices itself while it waits for a free one.
class SliceRing
{
public:
    SliceRing(const CbcDecryptor& cipher, unsigned threads) : cipher_(cipher), slots_(2 * threads)
    {
        for (Slot& slot : slots_)
        {
            slot.cipher.resize(kSliceSize);
        }
        for (unsigned i = 1; i < threads; ++i)
        {
            try
            {
                workers_.emplace_back([this] { Work(); });
            }
            catch (const std::system_error&)
            {
                break; // fewer threads: the reader does more of the work
            }
        }
    }

    ~SliceRing()
    {
        Finish();
    }

    // The slot for the next slice, once whoever decrypted its last slice is done with it.
    std::size_t NextFreeSlot()
    {
        const std::size_t index = next_++ % slots_.size();
        while (slots_[index].state.load(std::memory_order_acquire) != State::Free)
        {
            if (!DecryptOne())
            {
                Pause();
            }
        }
        return index;
    }

    unsigned char* CipherOf(std::size_t slot)
    {
        return slots_[slot].cipher.data();
    }

    void Hand(std::size_t index, unsigned char* out, std::size_t length, const Block& previous, bool first)
    {
        Slot& slot = slots_[index];
        slot.out = out;
        slot.length = length;
        slot.previous = previous;
        slot.first = first;
        slot.state.store(State::Filled, std::memory_order_release);
    }

    // Decrypts what is left, with the workers, and lets them go.
    void Finish()
    {
        for (Slot& slot : slots_)
        {
            while (slot.state.load(std::memory_order_acquire) != State::Free)
            {
                if (!DecryptOne())
                {
                    Pause();
                }
            }
        }
        closing_.store(true, std::memory_order_release);
        for (std::thread& worker : workers_)
        {
            worker.join();
        }
        workers_.clear();
    }

private:
    enum class State
    {
        Free,
        Filled,
        Taken,
    };

    struct Slot
    {
        std::vector<unsigned char> cipher;
        unsigned char* out = nullptr;
        std::size_t length = 0;
        Block previous{};
        bool first = false;
        std::atomic<State> state{State::Free};
    };

    // Takes one filled slot and decrypts it; false when none is waiting.
    bool DecryptOne()
    {
        for (Slot& slot : slots_)
        {
            State expected = State::Filled;
            if (slot.state.load(std::memory_order_relaxed) == State::Filled &&
                slot.state.compare_exchange_strong(expected, State::Taken, std::memory_order_acquire))
            {
                cipher_.DecryptBlocks(slot.cipher.data(), slot.out, slot.length,
                                      slot.first ? nullptr : slot.previous.data());
                slot.state.store(State::Free, std::memory_order_release);
                return true;
            }
        }
        return false;
    }

    void Work()
    {
        // A reader held up by a slow disk leaves the core to others after a while.
        constexpr unsigned kSpinsBeforeYield = 4096;
        unsigned idle = 0;
        while (!closing_.load(std::memory_order_acquire))
        {
            if (DecryptOne())
            {
                idle = 0;
            }
            else if (++idle < kSpinsBeforeYield)
            {
                Pause();
            }
            else
            {
                std::this_thread::yield();
            }
        }
        CbcDecryptor::WipeThreadStack();
    }

    const CbcDecryptor& cipher_;
    std::vector<Slot> slots_;
    std::size_t next_ = 0;
    std::vector<std::thread> workers_;
    std::atomic<bool> closing_{false};
};

} // namespace

bool ReadDecryptedBody(ByteSource& source, std::uint64_t length, const CbcDecryptor& cipher, SecureString& plain)
{
    if (length > source.Remaining() || length % kBlock != 0)
    {
        return false;
    }
    plain.resize(static_cast<std::size_t>(length));
    auto* out = reinterpret_cast<unsigned char*>(plain.data());
    SliceRing ring(cipher, CipherEngine::DecryptThreadsFor(plain.size()));
    Block previous{};
    for (std::size_t offset = 0; offset < plain.size(); offset += kSliceSize)
    {
        const std::size_t size = std::min(kSliceSize, plain.size() - offset);
        const std::size_t slot = ring.NextFreeSlot();
        unsigned char* cipherText = ring.CipherOf(slot);
        if (source.Read(reinterpret_cast<char*>(cipherText), size) != size)
        {
            return false; // the ring decrypts what it holds and lets its workers go
        }
        Block last{};
        std::memcpy(last.data(), cipherText + size - kBlock, kBlock);
        ring.Hand(slot, out + offset, size, previous, offset == 0);
        previous = last;
    }
    ring.Finish();
    return true;
}

} // namespace kavelmark
