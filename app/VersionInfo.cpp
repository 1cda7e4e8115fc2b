#include "app/VersionInfo.h"

#include "BuildInfo.h"

bool ReadVersionInfo(VersionInfo& info) {
    info.major = buildinfo::kVersionMajor;
    info.minor = buildinfo::kVersionMinor;
    info.release = buildinfo::kVersionRelease;
    info.build = buildinfo::kVersionBuild;
    info.productName = QString::fromUtf8(buildinfo::kProductName);
    info.legalNotice = QString::fromUtf8(buildinfo::kLegalNotice);
    return true;
}
