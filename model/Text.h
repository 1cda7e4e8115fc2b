#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Card names are compared the way FAT compares them: ASCII letters without
// regard to case, every other byte as it is. The C library's toupper would
// follow the user's locale and could change the bytes of UTF-8 names.
namespace text {

inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
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

// Whether `name` ends in `extension` (".MP3"), in any letter case, after at
// least one other character.
inline bool HasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           EqualIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

// Joins the parts into one string. Messages are built with it rather than
// with chains of '+', which GCC 12 at -O2 misreads as overlapping copies.
inline std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (std::string_view part : parts) {
        out.append(part);
    }
    return out;
}

}  // namespace text
