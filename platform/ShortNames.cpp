#include "platform/ShortNames.h"

#include <algorithm>
#include <cctype>

namespace platform {

// Placeholder rules until the full basis-name generator lands: upper case,
// cut to 8.3, with a numeric tail when the name does not fit.
std::string ShortNameGenerator::Next(std::string_view longName) {
    std::string name(longName);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    taken_.push_back(name);
    return name;
}

}  // namespace platform
