#pragma once

#include <string>
#include <string_view>

// Card names are compared the way FAT compares them: ASCII letters without
// regard to case, every other byte as it is. The C library's toupper would
// follow the user's locale and could change the bytes of UTF-8 names.
namespace text {

inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

inline std::string AsciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = AsciiUpper(c);
    }
    return out;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace text
