#include "cli/Help.h"

#include <sstream>

namespace cli {

namespace {

// Where a help line's own text starts: after an option's name and the gap
// of two or more spaces that follows it, otherwise after its indent.
std::size_t TextColumn(const std::string& line) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) {
        return 0;
    }
    const std::size_t gap = line.find("  ", start);
    if (gap != std::string::npos) {
        const std::size_t text = line.find_first_not_of(' ', gap);
        if (text != std::string::npos) {
            return text;
        }
    }
    return start;
}

void Wrap(const std::string& line, std::size_t width, std::string& out) {
    std::size_t indent = TextColumn(line);
    if (indent > width / 2) {
        indent = 0;  // too little room beside it: continue at the margin
    }
    std::size_t from = 0;
    while (line.size() - from > width - (from == 0 ? 0 : indent)) {
        const std::size_t room = width - (from == 0 ? 0 : indent);
        std::size_t cut = line.rfind(' ', from + room);
        if (cut == std::string::npos || cut <= from + (from == 0 ? indent : 0)) {
            cut = line.find(' ', from + room);  // one word longer than the line
            if (cut == std::string::npos) {
                break;
            }
        }
        out += line.substr(from, cut - from);
        out += '\n';
        out += std::string(indent, ' ');
        from = line.find_first_not_of(' ', cut);
        if (from == std::string::npos) {
            return;
        }
    }
    out += line.substr(from);
}

}  // namespace

std::string WrapLines(const std::string& text, std::size_t width) {
    std::string out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() <= width) {
            out += line;
        } else {
            Wrap(line, width, out);
        }
        if (!lines.eof()) {
            out += '\n';
        }
    }
    return out;
}

}  // namespace cli
