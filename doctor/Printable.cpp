#include "doctor/Printable.h"

#include <cstdint>
#include <cstdio>

namespace doctor {

namespace {

std::string Hex(const char* form, unsigned value) {
    char out[8];
    std::snprintf(out, sizeof out, form, value);
    return out;
}

// Bytes of the well-formed UTF-8 sequence at the start of `s` that encodes a
// character of U+00A0 or above; 0 when there is none there.
std::size_t SequenceLength(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    const std::uint8_t lead = byte(0);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || s.size() < length) {
        return 0;
    }
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (byte(i) & 0x3F);
    }
    const bool shortest = code >= (length == 2 ? 0xA0u : length == 3 ? 0x800u : 0x10000u);
    const bool scalar = code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    return shortest && scalar ? length : 0;
}

}  // namespace

std::string Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += c == '\\' ? "\\\\" : std::string(1, static_cast<char>(c));
            ++i;
        } else if (c == '\n' || c == '\r' || c == '\t') {
            out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t";
            ++i;
        } else if (const std::size_t n = c >= 0x80 ? SequenceLength(text.substr(i)) : 0) {
            out.append(text.substr(i, n));
            i += n;
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   (static_cast<std::uint8_t>(text[i + 1]) & 0xE0) == 0x80) {
            // U+0080 to U+009F: controls a terminal may act on, like ESC.
            out += Hex("\\u%04x", static_cast<std::uint8_t>(text[i + 1]));
            i += 2;
        } else {
            out += Hex("\\x%02x", c);
            ++i;
        }
    }
    return out;
}

}  // namespace doctor
