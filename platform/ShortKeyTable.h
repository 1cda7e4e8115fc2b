#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A table keyed by short strings (8.3 names and the like, at most 15 bytes),
// held in one array: a folder of hundreds of files costs no allocation per
// name, which a node-based map would. Longer keys are refused by Insert and
// never found.
template <typename Value>
class ShortKeyTable {
  public:
    static constexpr std::size_t kMaxKey = 15;

    void Reserve(std::size_t count) {
        std::size_t capacity = 16;
        while (capacity * 3 < count * 4) {
            capacity *= 2;
        }
        if (capacity > slots_.size()) {
            Rehash(capacity);
        }
    }

    // The value of `key`, or nullptr.
    const Value* Find(std::string_view key) const {
        if (key.size() > kMaxKey || slots_.empty()) {
            return nullptr;
        }
        const Slot& s = slots_[Probe(Pack(key))];
        return s.used ? &s.value : nullptr;
    }
    Value* Find(std::string_view key) { return const_cast<Value*>(std::as_const(*this).Find(key)); }

    // Adds `key` with `value` unless it is there; returns its value and
    // whether it was added. nullptr for a key that is too long.
    std::pair<Value*, bool> Insert(std::string_view key, const Value& value) {
        if (key.size() > kMaxKey) {
            return {nullptr, false};
        }
        // At most three quarters full, which keeps probes short and the
        // table small enough to stay in the cache.
        if ((size_ + 1) * 4 > slots_.size() * 3) {
            Rehash(slots_.empty() ? 16 : slots_.size() * 2);
        }
        const Key packed = Pack(key);
        Slot& s = slots_[Probe(packed)];
        if (s.used) {
            return {&s.value, false};
        }
        s.key = packed;
        s.value = value;
        s.used = true;
        ++size_;
        return {&s.value, true};
    }

  private:
    struct Key {
        std::uint64_t lo = 0;
        std::uint64_t hi = 0;  // the last byte holds the length
        bool operator==(const Key&) const = default;
    };
    struct Slot {
        Key key;
        Value value{};
        bool used = false;
    };

    // Up to eight bytes as one number, first byte lowest.
    static std::uint64_t Load(const char* p, std::size_t n) {
        std::uint64_t v = 0;
        if constexpr (std::endian::native == std::endian::little) {
            if (n == 8) {
                std::memcpy(&v, p, 8);
                return v;
            }
            if (n >= 4) {
                // Two overlapping loads; the bytes they share are the same.
                std::uint32_t a = 0;
                std::uint32_t b = 0;
                std::memcpy(&a, p, 4);
                std::memcpy(&b, p + n - 4, 4);
                return a | (static_cast<std::uint64_t>(b) << (8 * (n - 4)));
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
        }
        return v;
    }

    // Read straight from the text: copying it into a buffer first and
    // reading that back stalls the processor on every key.
    static Key Pack(std::string_view s) {
        const std::size_t n = s.size();
        Key k;
        if (n >= 8) {
            k.lo = Load(s.data(), 8);
            k.hi = Load(s.data() + 8, n - 8);
        } else {
            k.lo = Load(s.data(), n);
        }
        k.hi |= static_cast<std::uint64_t>(n) << 56;
        return k;
    }

    // The slot holding `k`, or the empty one where it would go.
    std::size_t Probe(const Key& k) const {
        // Multiplicative hashing: the top bits of the product, which every
        // bit of the key reaches, choose the slot. Names in one folder often
        // differ only in their last characters.
        const std::uint64_t h =
            (k.lo ^ (k.hi * 0x9E3779B97F4A7C15ull)) * 0xD6E8FEB86659FD93ull;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = static_cast<std::size_t>(h >> shift_);; i = (i + 1) & mask) {
            if (!slots_[i].used || slots_[i].key == k) {
                return i;
            }
        }
    }

    void Rehash(std::size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        shift_ = 64 - std::countr_zero(capacity);
        for (const Slot& s : old) {
            if (s.used) {
                slots_[Probe(s.key)] = s;
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
    int shift_ = 64;
};

}  // namespace platform
