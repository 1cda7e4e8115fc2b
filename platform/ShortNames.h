#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Generates the 8.3 aliases a FAT file system gives to files copied one by one
// into an empty directory in the order of `longNames`: the basis name of the
// long-name rules, no numeric tail when the long name already is a valid 8.3
// name, otherwise a "~N" tail unique among the aliases generated before it.
class ShortNameGenerator {
public:
    // The alias for the next file; remembers it so later files do not reuse it.
    std::string Next(std::string_view longName);

private:
    std::vector<std::string> taken_;
};

}  // namespace platform
