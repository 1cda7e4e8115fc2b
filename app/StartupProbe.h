#pragma once

// For start-up timing: when the environment variable CARDWRIGHT_STARTUP_PROBE
// is set, the first paint of a main window prints "shown WxH" (its size) on
// standard output and ends the program. Does nothing otherwise.
void InstallStartupProbe();
