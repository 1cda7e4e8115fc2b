#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "model/CardConfig.h"
#include "platform/Directory.h"

// The animation shows a player can load into its flash at boot. They lie
// beside the configuration; the configuration names the one in flash (the
// current download file, with its file time) and may ask for another at the
// next boot (the chosen download file).
namespace showfiles {

struct ShowFile {
    std::string name;    // the 8.3 alias, upper case; "ERROR.A00" when it has none
    std::uint64_t time;  // last write, in card file time
};

// What a look at the show files found.
struct Scan {
    std::vector<ShowFile> files;  // in the order the folder lists them
    // Set when the newest file (by last write; the first of equal times) is
    // not the current download file: that file is offered.
    std::optional<std::size_t> newer;
    // Whether the current download file is among them.
    bool currentPresent = false;
    // Set when the folder could not be read; nothing else is then known.
    std::error_code error;
};

// The show files of `listing` against the configuration's current download
// file. A file of the current file's name stands for it, whatever time the
// configuration recorded.
Scan Find(const std::vector<platform::DirEntry>& listing, const CardConfig& config);

// Lists `folder` and finds its show files.
Scan Look(const std::filesystem::path& folder, const CardConfig& config);

// What the user chose in the show file group: the file offered for the next
// boot (an index into Scan::files, or none), and the two check boxes.
struct Choice {
    std::optional<std::size_t> file;
    bool nextBoot = false;
    bool alwaysLoad = false;
};

// Stores the choice: the next-boot request only with a file chosen, that
// file's name and time as the chosen download file, and the load-on-boot
// flag only when there is a file to load (a current one, or one asked for).
void Store(CardConfig& config, const Scan& scan, const Choice& choice);

}  // namespace showfiles
