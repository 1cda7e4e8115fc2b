#pragma once

#include <QString>

// The program's product version and its name and legal notice, as the build
// stamped them.
struct VersionInfo {
    int major = -1;
    int minor = -1;
    int release = -1;
    int build = -1;
    QString productName;
    QString legalNotice;
};

// False when the build carries no version (the About box then stays blank).
bool ReadVersionInfo(VersionInfo& info);
