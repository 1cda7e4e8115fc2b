#pragma once

#include <string>
#include <string_view>

namespace doctor {

// `text` as it may go to a terminal or into a line-per-record report: control
// characters (a newline, an escape sequence, C1 controls) and bytes that are
// not UTF-8 come out as backslash escapes, and a backslash as two, so a file
// named to look like a finding, or to move the cursor, shows as what it is.
std::string Printable(std::string_view text);

}  // namespace doctor
