#pragma once

#include <string>
#include <vector>

#include "cli/Cli.h"

namespace CLI {
class App;
}

// cardwright-cli check: one or more cards checked, their findings filtered,
// sorted worst first and reported as text, JSON or compiler-style lines.
namespace cli {

// What `check` was asked, filled in as CLI11 parses it.
struct CheckRequest {
    std::vector<std::string> cards;
    std::string format = "text";
    std::string severity = "note";
    std::vector<std::string> ignore;
    bool json = false;  // the older spelling of --format=json
};

// Adds check's arguments and options to its subcommand.
void DescribeCheck(CLI::App& check, CheckRequest& request);

// Checks each card in turn and reports it; the worst exit status of them.
int RunCheck(const Environment& env, const CheckRequest& request);

}  // namespace cli
