#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/Ascii.h"

namespace text {

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
