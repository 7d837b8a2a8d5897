#pragma once

// LEVEL4's transposition table, shared by every thread of a search without a lock. A slot is
// two 64-bit words: the data, and the position's key xor the data. Two threads writing one
// slot at once may leave one's data beside the other's check word; such a slot then matches
// no position, so a reader takes it for empty instead of trusting half of it. The words are
// relaxed atomics: no ordering is bought, only the promise that each word is read whole.

#include "ai/level4_position.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zubeki::level4 {

enum Bound : std::uint8_t { kNone = 0, kUpper = 1, kLower = 2, kExact = 3 };

class Table {
  public:
    // What a slot held for a position.
    struct Hit {
        int score = 0; // as stored (mate distances from the stored node)
        int depth = 0;
        int bound = kNone;
        Move move{};
    };

    // A power of two of 16-byte slots within `megabytes` (1..1024), all empty.
    explicit Table(int megabytes) { resize(megabytes); }

    void resize(int megabytes) {
        const int mb = megabytes < 1 ? 1 : (megabytes > 1024 ? 1024 : megabytes);
        std::size_t entries = 1;
        const std::size_t wanted = static_cast<std::size_t>(mb) * 1024 * 1024 / sizeof(Slot);
        while (entries * 2 <= wanted) entries *= 2;
        slots_.reset(); // the old table goes before the new one is made
        slots_ = makeSlots(entries);
        size_ = entries;
        mask_ = entries - 1;
    }

    std::size_t size() const { return size_; }

    void clear() {
        for (std::size_t i = 0; i < size_; ++i) {
            slots_[i].check.store(0, std::memory_order_relaxed);
            slots_[i].data.store(0, std::memory_order_relaxed);
        }
    }

    // The slot of `key` when it was written for that key in this generation.
    bool probe(std::uint64_t key, std::uint16_t generation, Hit& out) const {
        const Slot& s = slots_[static_cast<std::size_t>(key & mask_)];
        const std::uint64_t data = s.data.load(std::memory_order_relaxed);
        const std::uint64_t check = s.check.load(std::memory_order_relaxed);
        if ((check ^ data) != key || generationOf(data) != generation) return false;
        out.score = static_cast<std::int16_t>(data & 0xFFFF);
        out.depth = static_cast<std::int8_t>(data >> 48 & 0xFF);
        const auto flags = static_cast<std::uint8_t>(data >> 56);
        out.bound = flags & 3;
        out.move = Move{static_cast<std::uint8_t>(data >> 32 & 0xFF),
                        static_cast<std::uint8_t>(data >> 40 & 0xFF),
                        static_cast<std::uint8_t>(flags >> 2 & 1u), 0};
        return true;
    }

    // Writes the slot of `key`, unless it holds a deeper result for another position of this
    // generation.
    void store(std::uint64_t key, std::uint16_t generation, int depth, int score, Bound bound,
               Move m) {
        Slot& s = slots_[static_cast<std::size_t>(key & mask_)];
        const std::uint64_t old = s.data.load(std::memory_order_relaxed);
        const std::uint64_t oldKey = s.check.load(std::memory_order_relaxed) ^ old;
        if (generationOf(old) == generation && oldKey != key &&
            static_cast<std::int8_t>(old >> 48 & 0xFF) > depth)
            return;
        const std::uint64_t data =
            std::uint64_t{static_cast<std::uint16_t>(score)} | std::uint64_t{generation} << 16 |
            std::uint64_t{m.from} << 32 | std::uint64_t{m.to} << 40 |
            std::uint64_t{static_cast<std::uint8_t>(depth)} << 48 |
            std::uint64_t{static_cast<std::uint8_t>(bound | (m.promote ? 4 : 0))} << 56;
        s.data.store(data, std::memory_order_relaxed);
        s.check.store(key ^ data, std::memory_order_relaxed);
    }

    // Permille of the first thousand slots written in this generation.
    int permille(std::uint16_t generation) const {
        const std::size_t n = size_ < 1000 ? size_ : 1000;
        std::size_t used = 0;
        for (std::size_t i = 0; i < n; ++i)
            used += generationOf(slots_[i].data.load(std::memory_order_relaxed)) == generation;
        return static_cast<int>(used * 1000 / n);
    }

  private:
    struct Slot {
        std::atomic<std::uint64_t> check{0};
        std::atomic<std::uint64_t> data{0};
    };
    static_assert(sizeof(Slot) == 16);

    static std::uint16_t generationOf(std::uint64_t data) {
        return static_cast<std::uint16_t>(data >> 16);
    }

    // The table lies on a boundary of the system's huge pages (2 MB), and on Linux asks to be
    // held in them: the search misses the processor's address cache less, and a gigabyte is
    // given back in milliseconds rather than in a tenth of a second (an engine told to quit
    // ends at once).
    static constexpr std::align_val_t kAlignment{std::size_t{2} << 20};
    struct Release {
        void operator()(Slot* slots) const { ::operator delete(slots, kAlignment); }
    };
    using Slots = std::unique_ptr<Slot[], Release>;

    static Slots makeSlots(std::size_t entries) {
        const std::size_t bytes = entries * sizeof(Slot);
        Slot* slots = static_cast<Slot*>(::operator new(bytes, kAlignment));
#if defined(__linux__)
        madvise(slots, bytes, MADV_HUGEPAGE); // only advice: without it the table still works
#endif
        std::uninitialized_value_construct_n(slots, entries); // every slot empty
        return Slots(slots);
    }

    Slots slots_;
    std::size_t size_ = 0;
    std::uint64_t mask_ = 0;
};

} // namespace zubeki::level4
