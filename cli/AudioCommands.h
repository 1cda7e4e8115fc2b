#pragma once

#include <string>
#include <vector>

#include "cli/Cli.h"

// add-audio and order: putting sound files on a card, and SOUNDS in the order
// of the tracks. Neither ever asks: add-audio shows its plan and writes only
// with --yes, so it behaves the same on a terminal and in a script.
namespace cli {

// Exit status of add-audio when it showed the plan but was not told to write.
inline constexpr int kNothingDone = 1;

int AddAudio(const Environment& env, const std::string& card, const std::vector<std::string>& files,
             bool yes);
int Order(const Environment& env, const std::string& card, const std::vector<std::string>& names);

}  // namespace cli
