#include "file/BodyReader.h"

#include <array>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace kavelmark
{
namespace
{

constexpr std::size_t kBlock = CipherEngine::kBlockSize;

using Block = std::array<unsigned char, kBlock>;

void Pause()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

// A ring of slices between the reading thread and the decrypting ones. The reader fills the
// slices in turn, any thread decrypts a filled one, and the reader hands them on in turn once
// decrypted. Handing over is a flag each way: waking a sleeping thread costs more than a slice
// takes to decrypt, so that the reader decrypts slices itself while it waits.
class SliceRing
{
public:
    SliceRing(const CbcDecryptor& cipher, unsigned threads) : cipher_(cipher), slots_(2 * threads)
    {
        for (Slot& slot : slots_)
        {
            slot.bytes.resize(kBodySliceSize);
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
        Stop();
    }

    std::size_t Size() const
    {
        return slots_.size();
    }

    // The slice's bytes once whoever decrypts it is done with them.
    std::string_view AwaitDecrypted(std::size_t index)
    {
        Slot& slot = slots_[index];
        while (slot.state.load(std::memory_order_acquire) != State::Decrypted)
        {
            if (!DecryptOne())
            {
                Pause();
            }
        }
        return {slot.bytes.data(), slot.length};
    }

    // Room for the next slice's ciphertext in an empty slot.
    char* Fill(std::size_t index)
    {
        return slots_[index].bytes.data();
    }

    void Hand(std::size_t index, std::size_t length, const Block& previous, bool first)
    {
        Slot& slot = slots_[index];
        slot.length = length;
        slot.previous = previous;
        slot.first = first;
        slot.state.store(State::Filled, std::memory_order_release);
    }

    void Empty(std::size_t index)
    {
        slots_[index].state.store(State::Empty, std::memory_order_release);
    }

    // Waits for the slices out with the workers and lets the workers go.
    void Stop()
    {
        for (std::size_t i = 0; i < slots_.size(); ++i)
        {
            if (slots_[i].state.load(std::memory_order_acquire) != State::Empty)
            {
                AwaitDecrypted(i);
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
        Empty,
        Filled,
        Taken,
        Decrypted,
    };

    struct Slot
    {
        SecureString bytes;
        std::size_t length = 0;
        Block previous{};
        bool first = false;
        std::atomic<State> state{State::Empty};
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
                auto* bytes = reinterpret_cast<unsigned char*>(slot.bytes.data());
                cipher_.DecryptBlocks(bytes, bytes, slot.length, slot.first ? nullptr : slot.previous.data());
                slot.state.store(State::Decrypted, std::memory_order_release);
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
    std::vector<std::thread> workers_;
    std::atomic<bool> closing_{false};
};

} // namespace

bool ReadDecryptedBody(ByteSource& source, std::uint64_t length, const CbcDecryptor& cipher,
                       const std::function<bool(std::string_view)>& consume)
{
    if (length > source.Remaining() || length % kBlock != 0)
    {
        return false;
    }
    SliceRing ring(cipher, CipherEngine::DecryptThreadsFor(static_cast<std::size_t>(length)));
    const std::size_t slices = static_cast<std::size_t>((length + kBodySliceSize - 1) / kBodySliceSize);
    Block previous{};
    // Slice n goes into slot n % Size(), whose last slice n - Size() is handed on first.
    for (std::size_t n = 0; n < slices + ring.Size(); ++n)
    {
        const std::size_t slot = n % ring.Size();
        if (n >= ring.Size() && n - ring.Size() < slices)
        {
            const bool wanted = consume(ring.AwaitDecrypted(slot));
            ring.Empty(slot);
            if (!wanted)
            {
                return false;
            }
        }
        if (n < slices)
        {
            const std::uint64_t offset = std::uint64_t{n} * kBodySliceSize;
            const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kBodySliceSize, length - offset));
            char* bytes = ring.Fill(slot);
            if (source.Read(bytes, size) != size)
            {
                return false;
            }
            Block last{};
            std::memcpy(last.data(), bytes + size - kBlock, kBlock);
            ring.Hand(slot, size, previous, n == 0);
            previous = last;
        }
    }
    return true;
}

} // namespace kavelmark
