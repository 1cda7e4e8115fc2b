#pragma once

#include <filesystem>
#include <iosfwd>

// cardwright-cli: check, dump, compare and write the settings of a card from
// the command line. The program is this function with the process's streams;
// tests run it with their own.
namespace cli {

// Exit statuses besides those of the check (0 clean, 1 warnings, 2 errors).
inline constexpr int kDiffers = 1;
inline constexpr int kInvalid = 1;  // validate: the settings file is not valid
inline constexpr int kTrouble = 3;  // bad arguments, an unreadable input, a refused apply

struct Environment {
    std::ostream& out;
    std::ostream& err;
    bool terminal = false;  // err is a terminal: draw the check's progress on it
    // The program a save copies onto the card; empty: `cardwright` beside
    // this program, or nothing when there is none.
    std::filesystem::path program;
    // What "-" reads; null: nothing to read.
    std::istream* in = nullptr;
};

int Run(int argc, const char* const* argv, const Environment& env);

}  // namespace cli
