#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "doctor/Finding.h"
#include "model/TrackScanner.h"

// Reads a card as the player would and finds every problem it can: what
// makes the player blink instead of starting, audio it cannot play, settings
// that point at nothing, and faults of the card itself. Nothing on the card
// is changed.
//
// A check may run off the caller's thread: it touches no shared state, says
// how far it has got through `progress` (called on the checking thread) and
// stops early when `cancel` becomes true.
namespace doctor {

struct CheckOptions {
    // Lists a folder in stored order; empty: the platform's listing.
    DirectoryLister lister;
    // Called before each audio file is read: files done so far, files in
    // all, and the file about to be read (relative to the card).
    std::function<void(int done, int total, const std::string& file)> progress;
    // Checked between files; once true the check stops and says so.
    const std::atomic<bool>* cancel = nullptr;
    // Bytes of the program the next save copies onto the card; empty: as
    // large as the copy the card holds already.
    std::optional<std::uintmax_t> programSize;
    // Bytes free on the card's file system; empty: asked of the system.
    std::function<std::uintmax_t(const std::filesystem::path&, std::error_code&)> freeSpace;
};

struct CheckResult {
    std::vector<Finding> findings;  // in the order they were found
    bool cancelled = false;         // the check stopped before the end
};

// Checks CARD, a card folder or its configuration file. A card that cannot be
// read at all is a finding too; the check never throws for anything on it.
CheckResult CheckCard(const std::filesystem::path& card, const CheckOptions& options = {});

}  // namespace doctor
