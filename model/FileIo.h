#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// Small whole-file helpers for the card files. On failure they put a short,
// user-readable reason into `error` (for example "No such file or
// directory").
namespace fileio {

// Reads at most `limit` bytes from the start of the file into `bytes`, and the
// file's full size into `size`.
bool ReadPrefix(const std::filesystem::path& path, std::size_t limit,
                std::vector<std::uint8_t>& bytes, std::uintmax_t& size, std::string& error);

// What replacing a file on the card came to. A card can be pulled, fill up or
// lose power at any moment, so a file is never rewritten in place: the new
// bytes go into a temporary file beside it, which is synced and then renamed
// over the old one. Whatever happens, the card holds the old file or the new
// one, never a part of either.
struct WriteResult {
    enum class Failure {
        None,
        NotAFile,  // the name belongs to a folder, pipe or device; nothing was opened
        Create,    // the temporary file could not be created
        Write,     // writing, syncing or renaming failed
    };
    Failure failure = Failure::None;
    std::string reason;
    bool hadOldFile = false;  // a file of that name was there before
    bool replaced = false;    // the rename happened (only a failed folder sync follows it)
    bool unchanged = false;   // the file already held these bytes; nothing was written

    bool ok() const { return failure == Failure::None; }
    // What the card holds after a failure, for the end of a message: "The card
    // still holds the previous TUNBOX.CFG." or "No TUNBOX.CFG was written."
    std::string Aftermath(const std::filesystem::path& target) const;
};

// Replaces `target` with `bytes`.
WriteResult Replace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// Replaces `target` with a copy of `source`, or leaves it alone when it
// already holds the same bytes (the card is slow to write, and the program
// copied onto it is large).
WriteResult ReplaceWithCopy(const std::filesystem::path& target,
                            const std::filesystem::path& source);

// The path as the user sees it in a message, and the same in quotes.
std::string Display(const std::filesystem::path& path);
std::string Quoted(const std::filesystem::path& path);

}  // namespace fileio
