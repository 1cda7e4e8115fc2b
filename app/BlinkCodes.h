#pragma once

#include <span>

// The faults the player reports by blinking a code when it cannot start from
// its card, as the Player Blink Codes menu lists and explains them.
struct BlinkCode {
    int commandId;
    const char* menuText;  // short name, a tab, the blink count
    const char* statusPrompt;
    const char* explanation;  // shown in a message box without an icon
};

std::span<const BlinkCode> BlinkCodes();
