#pragma once

#include <cstdint>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

// Reading and writing the command line's files. "-" is standard input or
// output, and a settings file may be any readable file: a pipe, a process
// substitution, /dev/stdin. Input is read once, whole, up to a bound no
// settings file comes near.
namespace cli {

// A SETTINGS or CARD argument that names JSON rather than a card: "-", any
// file that is not a folder or a configuration file.
bool NamesJson(const std::string& arg);

// The name of an input in messages: the path, or "(standard input)".
std::string InputName(const std::string& arg);

// The bytes of `arg`, or the reason it cannot be read.
struct Input {
    std::vector<std::uint8_t> bytes;
    std::string error;  // empty when read
};
Input ReadInput(const std::string& arg, std::istream* in);

// The settings in `bytes`, or why they are not settings: broken JSON is
// named by line and column ("3:14: not valid JSON: ..."), after `name`.
struct Parsed {
    nlohmann::ordered_json json;
    std::string error;  // empty when parsed
};
Parsed ParseSettings(const std::vector<std::uint8_t>& bytes, const std::string& name);

// Writes `text` to `arg` ("-": `out`): a file on disk through a temporary
// copy, a pipe or device straight. Empty, or the reason it failed.
std::string WriteOutput(const std::string& arg, const std::string& text, std::ostream& out);

}  // namespace cli
