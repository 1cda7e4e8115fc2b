#pragma once

#include <optional>

// The state of the three lock keys, where the windowing system tells it.
struct LockKeys {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Empty where the platform cannot tell (the indicators then stay dim).
std::optional<LockKeys> QueryLockKeys();
