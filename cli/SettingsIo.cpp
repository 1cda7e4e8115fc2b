#include "cli/SettingsIo.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

#include "model/FileIo.h"
#include "model/Text.h"

namespace cli {

namespace {

namespace fs = std::filesystem;

// A settings file larger than this is no settings file.
constexpr std::size_t kLargestSettings = 16u * 1024 * 1024;
constexpr int kDeepestSettings = 32;

// How deeply the arrays and objects of a JSON text nest, brackets inside
// strings not counted.
int NestingDepth(const std::vector<std::uint8_t>& bytes) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (const std::uint8_t c : bytes) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// Reads a stream to its end, or one byte past the bound.
Input ReadStream(std::istream& stream, const std::string& name) {
    Input input;
    char chunk[64 * 1024];
    while (input.bytes.size() <= kLargestSettings && stream) {
        stream.read(chunk, sizeof chunk);
        input.bytes.insert(input.bytes.end(), chunk, chunk + stream.gcount());
    }
    if (stream.bad()) {
        input.error = text::Concat({name, ": it could not be read"});
    } else if (input.bytes.size() > kLargestSettings) {
        input.error = text::Concat({name, ": too large for a settings file"});
    }
    return input;
}

// "line:column" of the byte at `offset` (counted from 1), a tab as one column.
std::string Position(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    const std::size_t end = std::min(offset > 0 ? offset - 1 : 0, bytes.size());
    const auto first = bytes.begin();
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(first, first + end, '\n'));
    const auto lastNewline =
        std::find(std::make_reverse_iterator(first + end), std::make_reverse_iterator(first), '\n');
    const std::size_t column = static_cast<std::size_t>((first + end) - lastNewline.base()) + 1;
    return text::Concat({std::to_string(line), ":", std::to_string(column)});
}

}  // namespace

bool NamesJson(const std::string& arg) {
    if (arg == "-") {
        return true;
    }
    std::error_code ec;
    const fs::file_status status = fs::status(arg, ec);
    if (!fs::exists(status) || fs::is_directory(status)) {
        return false;
    }
    return !fs::is_regular_file(status) ||
           !text::EqualIgnoringCase(fs::path(arg).extension().string(), ".CFG");
}

std::string InputName(const std::string& arg) {
    return arg == "-" ? "(standard input)" : fileio::Display(arg);
}

Input ReadInput(const std::string& arg, std::istream* in) {
    const std::string name = InputName(arg);
    if (arg == "-") {
        if (!in) {
            return {{}, text::Concat({name, ": there is no standard input to read"})};
        }
        return ReadStream(*in, name);
    }
    std::error_code ec;
    const fs::file_status status = fs::status(arg, ec);
    if (!fs::exists(status)) {
        return {{}, text::Concat({name, ": no such settings file"})};
    }
    if (fs::is_directory(status)) {
        return {{}, text::Concat({name, ": it is a folder, not a settings file"})};
    }
    // A pipe has no size to ask for: it is read as it comes.
    std::ifstream file(arg, std::ios::binary);
    if (!file) {
        const auto read = fileio::ReadPrefix(arg, 0);
        return {{},
                read ? text::Concat({name, ": it could not be opened"}) : read.error().Message()};
    }
    return ReadStream(file, name);
}

Parsed ParseSettings(const std::vector<std::uint8_t>& bytes, const std::string& name) {
    // Settings nest a few levels; a file nested far deeper is no settings
    // file, and would cost the parser below its stack. The depth is counted
    // over the bytes first (brackets outside strings), so the parse itself
    // stays linear.
    if (NestingDepth(bytes) > kDeepestSettings) {
        return {{},
                text::Concat({name, ": nested more than ", std::to_string(kDeepestSettings),
                              " levels deep; not a settings file"})};
    }
    try {
        return {nlohmann::ordered_json::parse(bytes.begin(), bytes.end()), {}};
    } catch (const nlohmann::json::parse_error& e) {
        // The library's text starts with its own names and position; the
        // reason follows the first ": ".
        const std::string what = e.what();
        const std::size_t colon = what.find(": ");
        return {{},
                text::Concat({name, ":", Position(bytes, e.byte), ": not valid JSON",
                              colon == std::string::npos ? "" : what.substr(colon)})};
    }
}

std::string WriteOutput(const std::string& arg, const std::string& text, std::ostream& out) {
    if (arg == "-") {
        out << text << std::flush;
        return out ? "" : "standard output: it could not be written";
    }
    std::error_code ec;
    const fs::file_status status = fs::status(arg, ec);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status)) {
        std::ofstream stream(arg, std::ios::binary);
        stream << text << std::flush;
        return stream ? "" : text::Concat({fileio::Display(arg), ": it could not be written"});
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    const fileio::WriteResult result = fileio::Replace(arg, {data, text.size()});
    return result.ok() ? "" : text::Concat({fileio::Display(arg), ": ", result.reason});
}

}  // namespace cli
