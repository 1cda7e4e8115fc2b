#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

// What one run of the command line said and how it ended.
struct Ran {
    int status;
    std::string out;
    std::string err;
};

// Runs the command line in this process with `args` after the program name,
// and `input` as its standard input.
inline Ran Cli(const std::vector<std::string>& args, const std::string& input = "") {
    std::ostringstream out;
    std::ostringstream err;
    std::istringstream in(input);
    std::vector<const char*> argv{"cardwright-cli"};
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    const int status =
        cli::Run(static_cast<int>(argv.size()), argv.data(), {out, err, false, {}, &in});
    return {status, out.str(), err.str()};
}
