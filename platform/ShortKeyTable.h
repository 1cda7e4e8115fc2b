#pragma once

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
        while (capacity < count * 2) {
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
        if ((size_ + 1) * 2 > slots_.size()) {
            Rehash(slots_.empty() ? 16 : slots_.size() * 2);
        }
        Slot& s = slots_[Probe(Pack(key))];
        if (s.used) {
            return {&s.value, false};
        }
        s.key = Pack(key);
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

    static Key Pack(std::string_view s) {
        char bytes[16] = {};
        std::memcpy(bytes, s.data(), s.size());
        bytes[15] = static_cast<char>(s.size());
        Key k;
        std::memcpy(&k.lo, bytes, 8);
        std::memcpy(&k.hi, bytes + 8, 8);
        return k;
    }

    // The slot holding `k`, or the empty one where it would go.
    std::size_t Probe(const Key& k) const {
        // Every byte of the key must reach the low bits the mask keeps: names
        // in one folder often differ only in their last characters.
        const auto mix = [](std::uint64_t x) {
            x ^= x >> 33;
            x *= 0xFF51AFD7ED558CCDull;
            x ^= x >> 33;
            x *= 0xC4CEB9FE1A85EC53ull;
            return x ^ (x >> 33);
        };
        const std::uint64_t h = mix(k.lo ^ mix(k.hi));
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            if (!slots_[i].used || slots_[i].key == k) {
                return i;
            }
        }
    }

    void Rehash(std::size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(slots_);
        for (const Slot& s : old) {
            if (s.used) {
                slots_[Probe(s.key)] = s;
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

}  // namespace platform
