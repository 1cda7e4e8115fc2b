#include "platform/ShortNames.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>

#include "platform/Ascii.h"

namespace platform {

namespace {

constexpr std::size_t kBaseLength = 8;
constexpr std::size_t kExtensionLength = 3;
constexpr std::size_t kTailBaseLength = 6;

bool IsSkipped(char c) {
    return c == '.' || c == ' ';
}

// Letters, digits and the punctuation a short name may hold as it is, one
// entry per byte value.
constexpr std::array<bool, 256> kShortNameChars = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    }
    for (const char c : std::string_view("$%'-_@~`!(){}^#&")) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}();

bool IsShortNameChar(unsigned char c) {
    return kShortNameChars[c];
}

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The number of bytes of the UTF-8 character at `s[i]` and how many UTF-16
// units it takes, since FAT converts a long name one UTF-16 unit at a time.
// A byte that does not start a well-formed sequence is a character on its own.
struct Utf8Char {
    std::size_t bytes;
    std::size_t units;
};

Utf8Char NextChar(std::string_view s, std::size_t i) {
    const auto at = [&](std::size_t k) {
        return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
    };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return {1, 1};
    }
    if (lead >= 0xC2 && lead <= 0xDF && IsContinuation(at(1))) {
        return {2, 1};
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        // E0 must not encode an overlong form, ED must not encode a surrogate.
        const unsigned char lo = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = lead == 0xED ? 0x9F : 0xBF;
        if (at(1) >= lo && at(1) <= hi && IsContinuation(at(2))) {
            return {3, 1};
        }
        return {1, 1};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char lo = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = lead == 0xF4 ? 0x8F : 0xBF;
        if (at(1) >= lo && at(1) <= hi && IsContinuation(at(2)) && IsContinuation(at(3))) {
            return {4, 2};
        }
    }
    return {1, 1};
}

// A short name or a part of one, built in place: at most the 8 base
// characters, a period and 3 extension characters.
struct ShortText {
    char text[16];
    std::size_t size = 0;

    void Add(char c) { text[size++] = c; }
    void Add(std::string_view s) {
        for (const char c : s) {
            text[size++] = c;
        }
    }
    std::string_view View() const { return {text, size}; }
};

// Converts one part of the long name (base or extension) into at most `limit`
// short-name characters. Sets `lossy` when anything was dropped, replaced or
// cut off.
ShortText ConvertPart(std::string_view part, std::size_t limit, bool& lossy) {
    ShortText out;
    std::size_t i = 0;
    while (i < part.size()) {
        const auto c = static_cast<unsigned char>(part[i]);
        const Utf8Char ch = c < 0x80 ? Utf8Char{1, 1} : NextChar(part, i);
        i += ch.bytes;
        if (ch.bytes == 1 && IsSkipped(static_cast<char>(c))) {
            lossy = true;
            continue;
        }
        if (out.size == limit) {
            lossy = true;  // more characters than the part can hold
            break;
        }
        if (ch.bytes == 1 && IsShortNameChar(c)) {
            out.Add(text::AsciiUpper(static_cast<char>(c)));
            continue;
        }
        lossy = true;
        for (std::size_t n = std::min(ch.units, limit - out.size); n > 0; --n) {
            out.Add('_');
        }
    }
    return out;
}

}  // namespace

std::string ShortNameGenerator::Next(std::string_view longName) {
    // FAT ignores trailing periods and spaces of a long name.
    while (!longName.empty() && IsSkipped(longName.back())) {
        longName.remove_suffix(1);
    }
    if (longName.empty()) {
        return {};
    }

    // The extension follows the last period, unless only periods and spaces
    // come before that period: ".mp3" is a base "MP3" without extension.
    std::string_view basePart = longName;
    std::string_view extensionPart;
    const std::size_t dot = longName.rfind('.');
    if (dot != std::string_view::npos && longName.find_first_not_of(". ") < dot) {
        basePart = longName.substr(0, dot);
        extensionPart = longName.substr(dot + 1);
    }

    bool lossy = false;
    const ShortText base = ConvertPart(basePart, kBaseLength, lossy);
    ShortText suffix;
    const ShortText extension = ConvertPart(extensionPart, kExtensionLength, lossy);
    if (extension.size > 0) {
        suffix.Add('.');
        suffix.Add(extension.View());
    }

    if (!lossy) {
        ShortText alias = base;
        alias.Add(suffix.View());
        if (taken_.Insert(alias.View(), true).second) {
            return std::string(alias.View());
        }
    }

    // The lowest "~N" not yet taken; the base gives way as N grows so that
    // base and tail never exceed eight characters.
    // The candidates depend only on the first six base characters and the
    // extension, and aliases are never given back, so the search for this
    // basis resumes where it last ended.
    ShortText basis;
    basis.Add(base.View().substr(0, kTailBaseLength));
    basis.Add(suffix.View());
    if (lastNext_ == nullptr || basis.View() != lastBasis_) {
        lastNext_ = nextTail_.Insert(basis.View(), 1).first;
        lastBasis_.assign(basis.View());
    }
    unsigned& next = *lastNext_;
    for (unsigned n = std::max(next, 1u);; ++n) {
        char digits[12];
        const std::string_view number(digits,
                                      std::to_chars(digits, digits + sizeof digits, n).ptr);
        const std::size_t tail = number.size() + 1;
        const std::size_t room = tail < kBaseLength ? kBaseLength - tail : 0;
        ShortText alias;
        alias.Add(base.View().substr(0, std::min({base.size, kTailBaseLength, room})));
        alias.Add('~');
        alias.Add(number);
        alias.Add(suffix.View());
        if (taken_.Insert(alias.View(), true).second) {
            next = n + 1;
            return std::string(alias.View());
        }
    }
}

}  // namespace platform
