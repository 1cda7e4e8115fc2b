#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// Small whole-file helpers for the card files. On failure they return false
// and put a short, user-readable reason into `error` (for example "No such
// file or directory").
namespace fileio {

// Reads at most `limit` bytes from the start of the file into `bytes`, and the
// file's full size into `size`.
bool ReadPrefix(const std::filesystem::path& path, std::size_t limit,
                std::vector<std::uint8_t>& bytes, std::uintmax_t& size, std::string& error);

enum class WriteFailure { None, Create, Write };

// Creates or truncates the file and writes `bytes`. Tells whether creating
// or writing failed; a partly written file is left as it is.
WriteFailure Write(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                   std::string& error);

// The path as the user sees it in a message.
std::string Display(const std::filesystem::path& path);

}  // namespace fileio
