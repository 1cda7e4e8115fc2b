#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Result.h"
#include "platform/Files.h"

// Small whole-file helpers for the card files. A failure carries the file and
// a short, user-readable reason (for example "No such file or directory").
namespace fileio {

// The first bytes of a file, and its full size.
struct Prefix {
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
};

// Reads at most `limit` bytes from the start of the file.
Result<Prefix> ReadPrefix(const std::filesystem::path& path, std::size_t limit);

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

    bool ok() const { return failure == Failure::None; }
    // What the card holds after a failure, for the end of a message: "The card
    // still holds the previous TUNBOX.CFG." or "No TUNBOX.CFG was written."
    std::string Aftermath(const std::filesystem::path& target) const;
};

// Replaces the file `name` of `folder` with `bytes`. `old`, when given, is
// what the caller has just found under that name, so that it need not be
// asked again.
WriteResult Replace(const platform::Folder& folder, const std::string& name,
                    std::span<const std::uint8_t> bytes, const platform::FileFacts* old = nullptr);
// The same for a single file, given by its path.
WriteResult Replace(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// Replaces the file `name` of `folder` with a copy of `source`.
WriteResult ReplaceWithCopy(const platform::Folder& folder, const std::string& name,
                            const std::filesystem::path& source,
                            const platform::FileFacts* old = nullptr);

// Whether the file holds exactly these bytes, or the same bytes as another.
// A card is slow to write and wears with every write, so what it holds
// already is left where it is. With `known` facts of the file, one of
// another size is not read at all.
bool HoldsBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                const platform::FileFacts* known = nullptr);
bool SameContents(const std::filesystem::path& a, const std::filesystem::path& b);

// Whether `name` is one of the temporary files the replacing above makes:
// one left on a card is the remains of a save that was cut short.
bool IsTemporaryName(std::string_view name);
// A fresh name of that kind, for a file that is written whole under it and
// renamed once complete; the leftovers of a pulled card are then known.
std::string TemporaryName();

// The path as the user sees it in a message, and the same in quotes.
std::string Display(const std::filesystem::path& path);
std::string Quoted(const std::filesystem::path& path);

}  // namespace fileio
