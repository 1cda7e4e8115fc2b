#pragma once

#include <CLI/CLI.hpp>
#include <cstddef>
#include <string>

namespace cli {

// The width help is wrapped to: a terminal's 80 columns, less one so that a
// full line never makes the terminal wrap it a second time.
inline constexpr std::size_t kHelpWidth = 79;

// `text` with each line longer than `width` broken at spaces; the pieces
// continue under the column where the line's own text starts (an option's
// description, a paragraph's first word).
std::string WrapLines(const std::string& text, std::size_t width = kHelpWidth);

// CLI11's help, wrapped.
class WrappingFormatter : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        return WrapLines(CLI::Formatter::make_help(app, std::move(name), mode));
    }
};

}  // namespace cli
