#pragma once
// A hash table from a text to a small value, laid out for the call check: open addressing with linear
// probing over slots that hold the text itself (when it is short, as calls, prefixes and bands are) beside
// the value. A lookup is one probe of one slot in the common case, so it costs one memory access however
// large the table grows, where a node-based map walks a bucket, a node and the key's own storage.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory.h"

// The table's room comes from platform::AllocateTable, on large pages where the system has them.
template <typename T>
struct IndexAllocator {
    using value_type = T;
    IndexAllocator() = default;
    template <typename U>
    IndexAllocator(const IndexAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(platform::AllocateTable(n * sizeof(T))); }
    void deallocate(T* p, size_t n) { platform::FreeTable(p, n * sizeof(T)); }
    bool operator==(const IndexAllocator&) const { return true; }
    bool operator!=(const IndexAllocator&) const { return false; }
};

// What the lookups of an index cost so far: the probes (one per Find, Insert or Erase) and the slots they
// visited. Unlike times these counts are the same on every machine, so the benchmarks judge the index on them.
struct IndexProbeCounts {
    uint64_t probes = 0;
    uint64_t slots = 0;
    IndexProbeCounts& operator+=(const IndexProbeCounts& o) {
        probes += o.probes;
        slots += o.slots;
        return *this;
    }
};

// A value that Find or Insert hands out stays where it is until the next Insert (which may grow the table and
// move every slot), Erase (which moves later slots back) or Clear; a pointer kept past one of them dangles.
template <typename Value>
class TextIndex {
public:
    // The value of `text`, or null.
    const Value* Find(const std::string& text) const {
        if (slots_.empty())
            return nullptr;
        const Slot& s = slots_[Probe(text, Hash(text))];
        return s.hash != 0 ? &s.value : nullptr;
    }
    Value* Find(const std::string& text) {
        return const_cast<Value*>(static_cast<const TextIndex&>(*this).Find(text));
    }

    // The value of `text`, added as Value() when it is not there yet; `added` tells which.
    Value& Insert(const std::string& text, bool* added = nullptr) {
        if ((count_ + 1) * 2 > slots_.size())
            Grow();
        const uint32_t hash = Hash(text);
        Slot& s = slots_[Probe(text, hash)];
        if (s.hash != 0) {
            if (added)
                *added = false;
            return s.value;
        }
        s.hash = hash;
        Store(s, text);
        s.value = Value();
        ++count_;
        if (added)
            *added = true;
        return s.value;
    }

    // Removes `text` if it is there. Later slots of the same run move back, so no slot is ever left marked
    // deleted and lookups stay one probe.
    void Erase(const std::string& text) {
        if (slots_.empty())
            return;
        size_t i = Probe(text, Hash(text));
        if (slots_[i].hash == 0)
            return;
        Release(slots_[i]);
        for (size_t j = (i + 1) & mask_; slots_[j].hash != 0; j = (j + 1) & mask_) {
            const size_t home = slots_[j].hash & mask_;
            // Slot j may fill the hole at i when its home is not in the cyclic range (i, j].
            if (((j - home) & mask_) >= ((j - i) & mask_)) {
                slots_[i] = std::move(slots_[j]);
                slots_[j].hash = 0;
                i = j;
            }
        }
        slots_[i].hash = 0;
        --count_;
    }

    // Empties the table. It keeps its room for a log rebuilt to about the size it had; a table far larger
    // than what it held is let go, so a small log after a huge one does not pay for clearing the huge room.
    void Clear() {
        if (slots_.size() > 1024 && count_ * 8 < slots_.size()) {
            std::vector<Slot, IndexAllocator<Slot>>().swap(slots_);
            mask_ = 0;
        } else {
            std::fill(slots_.begin(), slots_.end(), Slot());
        }
        count_ = 0;
        longTexts_.clear();
        freeLongTexts_.clear();
    }
    size_t Count() const { return count_; }

    const IndexProbeCounts& Probes() const { return probes_; }

private:
    static constexpr size_t kInline = 15;
    static constexpr uint8_t kLong = 0xFF;

    // A slot holds its text in one of two forms: inline, up to kInline characters in `text` with their count
    // in `length`; or long, `length` kLong and the text in longTexts_ at the index in the first four bytes of
    // `text`.
    struct Slot {
        uint32_t hash = 0;  // 0: empty
        uint8_t length = 0;
        char text[kInline] = {};
        Value value{};
        bool Inline() const { return length != kLong; }
    };

    // The one probe: the slot that holds `text`, or else the empty slot where it would go. The table has room.
    size_t Probe(const std::string& text, uint32_t hash) const {
        const size_t home = hash & mask_;
        size_t i = home;
        while (slots_[i].hash != 0 && !(slots_[i].hash == hash && Equals(slots_[i], text))) i = (i + 1) & mask_;
        ++probes_.probes;
        probes_.slots += ((i - home) & mask_) + 1;
        return i;
    }

    static uint32_t Hash(const std::string& text) {
        uint64_t h = 0xcbf29ce484222325ull;
        for (unsigned char c : text)
            h = (h ^ c) * 0x100000001b3ull;
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 33;
        const uint32_t folded = static_cast<uint32_t>(h);
        return folded == 0 ? 1 : folded;
    }

    bool Equals(const Slot& s, const std::string& text) const {
        if (s.Inline())
            return s.length == text.size() && std::memcmp(s.text, text.data(), s.length) == 0;
        return longTexts_[LongIndex(s)] == text;
    }
    static uint32_t LongIndex(const Slot& s) {
        uint32_t index;
        std::memcpy(&index, s.text, sizeof index);
        return index;
    }
    void Store(Slot& s, const std::string& text) {
        if (text.size() < kLong && text.size() <= kInline) {
            s.length = static_cast<uint8_t>(text.size());
            std::memcpy(s.text, text.data(), text.size());
            return;
        }
        uint32_t index;
        if (!freeLongTexts_.empty()) {
            index = freeLongTexts_.back();
            freeLongTexts_.pop_back();
            longTexts_[index] = text;
        } else {
            index = static_cast<uint32_t>(longTexts_.size());
            longTexts_.push_back(text);
        }
        s.length = kLong;
        std::memcpy(s.text, &index, sizeof index);
    }
    void Release(Slot& s) {
        if (s.Inline())
            return;
        const uint32_t index = LongIndex(s);
        longTexts_[index].clear();
        freeLongTexts_.push_back(index);
    }

    void Grow() {
        std::vector<Slot, IndexAllocator<Slot>> old = std::move(slots_);
        slots_.assign(old.empty() ? 16 : old.size() * 2, Slot());
        mask_ = slots_.size() - 1;
        for (Slot& s : old) {
            if (s.hash == 0)
                continue;
            size_t i = s.hash & mask_;
            while (slots_[i].hash != 0)
                i = (i + 1) & mask_;
            slots_[i] = std::move(s);
        }
    }

    std::vector<Slot, IndexAllocator<Slot>> slots_;
    size_t mask_ = 0;
    size_t count_ = 0;
    std::vector<std::string> longTexts_;
    std::vector<uint32_t> freeLongTexts_;
    mutable IndexProbeCounts probes_;  // changed by lookups, which hold the owner's lock as any change does
};
