#pragma once

#include <string>
#include <string_view>

#include "platform/ShortKeyTable.h"

namespace platform {

// Generates the 8.3 aliases a FAT file system gives to files copied one by one
// into an empty directory in the order of `longNames`: the basis name of the
// long-name rules, no numeric tail when the long name already is a valid 8.3
// name, otherwise a "~N" tail unique among the aliases generated before it.
//
// The basis name: trailing periods and spaces are ignored; the rest is upper
// cased; spaces, leading periods and every period but the last are dropped;
// the extension is the text after the last period; characters a short name
// cannot hold ("+,;=[]", controls, anything outside ASCII) become '_'; the
// base keeps 8 characters and the extension 3. If anything was dropped,
// replaced or cut, or the basis is already taken, the alias is the first
// 6 characters of the base (fewer when the tail needs room) with the lowest
// free "~N". Letter case alone does not force a tail: "c.mp3" is "C.MP3".
class ShortNameGenerator {
  public:
    // The alias for the next file; remembers it so later files do not reuse it.
    // Empty, and nothing remembered, for a name FAT cannot store at all (one
    // made only of periods and spaces).
    std::string Next(std::string_view longName);
    // Makes room for this many files, so a large folder is not rehashed as
    // it grows.
    void Reserve(std::size_t files) {
        taken_.Reserve(files);
        nextTail_.Reserve(files);
        lastNext_ = nullptr;
    }

  private:
    ShortKeyTable<bool> taken_;
    // For each basis (its first six base characters and its extension), the
    // tail number to try first: every lower one is taken already. Without
    // it, a folder of names sharing a prefix costs a search per file.
    ShortKeyTable<unsigned> nextTail_;
    // The basis of the last name that needed a tail, and its entry above:
    // files that follow one another often share it.
    std::string lastBasis_;
    unsigned* lastNext_ = nullptr;
};

}  // namespace platform
