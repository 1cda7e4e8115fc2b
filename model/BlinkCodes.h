#pragma once

#include <span>
#include <string_view>

// The faults the player reports by blinking a code when it cannot start from
// its card, as the Player Blink Codes menu lists and explains them and as the
// card check predicts them.
struct BlinkCode {
    int commandId;
    const char* menuText;  // short name, a tab, the blink count
    const char* statusPrompt;
    const char* explanation;  // shown in a message box without an icon
};

std::span<const BlinkCode> BlinkCodes();

// The code the player blinks `count` times for, or null when it has none.
const BlinkCode* BlinkCodeFor(int count);
// The parts of a code's menu text: "Bad Read" and 5.
std::string_view BlinkName(const BlinkCode& code);
int BlinkCount(const BlinkCode& code);
