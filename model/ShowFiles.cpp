#include "model/ShowFiles.h"

#include "model/CardFiles.h"

namespace showfiles {

namespace {

bool IsShowFile(const platform::DirEntry& e) {
    // The wildcard matches either name of a file.
    return !e.isDirectory &&
           (cardfiles::IsShowFileName(e.longName) || cardfiles::IsShowFileName(e.shortName));
}

}  // namespace

Scan Find(const std::vector<platform::DirEntry>& listing, const CardConfig& config) {
    Scan scan;
    const std::string current = config.Get(field::kCurrentDownloadFile);
    std::uint64_t currentTime = config.Get(field::kCurrentDownloadStamp);
    std::optional<std::size_t> newest;
    for (const platform::DirEntry& e : listing) {
        if (!IsShowFile(e)) {
            continue;
        }
        std::string name = cardfiles::Alias(e);
        if (name.empty()) {
            name = "ERROR.A00";
        }
        // Only a later time than any before counts; no file is newer than 0.
        if (e.lastWrite > (newest ? scan.files[*newest].time : 0)) {
            newest = scan.files.size();
        }
        if (name == current) {
            currentTime = e.lastWrite;
            scan.currentPresent = true;
        }
        scan.files.push_back({std::move(name), e.lastWrite});
    }
    if (newest) {
        const ShowFile& best = scan.files[*newest];
        if (best.name != current || best.time != currentTime) {
            scan.newer = newest;
        }
    }
    return scan;
}

Scan Look(const std::filesystem::path& folder, const CardConfig& config) {
    std::error_code ec;
    const auto listing = platform::ListDirectory(folder, ec, platform::ListDetail::WithTimes);
    if (ec) {
        Scan failed;
        failed.error = ec;
        return failed;
    }
    return Find(listing, config);
}

void Store(CardConfig& config, const Scan& scan, const Choice& choice) {
    const bool nextBoot = choice.nextBoot && choice.file && *choice.file < scan.files.size();
    config.Set(field::kNextBootFlag, nextBoot);
    if (nextBoot) {
        const ShowFile& file = scan.files[*choice.file];
        config.Set(field::kChosenDownloadFile, file.name);
        config.Set(field::kChosenDownloadStamp, file.time);
    }
    const bool somethingToLoad = !config.Get(field::kCurrentDownloadFile).empty() || nextBoot;
    config.Set(field::kLoadOnBootFlag, somethingToLoad && choice.alwaysLoad);
}

}  // namespace showfiles
