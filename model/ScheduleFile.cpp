#include <new>

#include "model/CardFiles.h"
#include "model/CardwrightDoc.h"
#include "model/FileIo.h"
#include "model/Text.h"

namespace {
// The largest file the 24-bit length field can describe.
constexpr std::size_t kScheduleFileLimit = 0xFFFFFF + 9;
}  // namespace

void CCardwrightDoc::ReadScheduleInto(const std::filesystem::path& cardDir,
                                      std::uint8_t serialAddress, ScheduleSet& into) {
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    std::string error;
    // A missing or unreadable file simply means no schedules; one larger than
    // its length field can say is as bad as a wrong length.
    if (!fileio::ReadPrefix(cardDir / cardfiles::kScheduleFileName, kScheduleFileLimit, bytes, size,
                            error)) {
        bytes.clear();
    }
    const bool tooLarge = size > kScheduleFileLimit;
    if (tooLarge) {
        bytes.clear();
    }
    if (into.Parse(bytes, serialAddress) == ScheduleSet::ParseResult::Bad || tooLarge) {
        prompter_.Tell("Schedule.sch file has bad length or checksum, ignoring file.");
    }
}

bool CCardwrightDoc::ReadScheduleFile() {
    ReadScheduleInto(CardDirectory(), static_cast<std::uint8_t>(config_.SerialAddress()),
                     schedules_);
    return true;
}

bool CCardwrightDoc::WriteScheduleFile(const std::filesystem::path& configPath) {
    return WriteSchedule(configPath.parent_path(), schedules_,
                         static_cast<std::uint8_t>(config_.SerialAddress()));
}

bool CCardwrightDoc::WriteSchedule(const std::filesystem::path& cardDir, ScheduleSet& schedules,
                                   std::uint8_t serialAddress) {
    const std::filesystem::path path = cardDir / cardfiles::kScheduleFileName;
    std::vector<std::uint8_t> bytes;
    fileio::WriteResult result;
    try {
        bytes = schedules.Serialize(serialAddress);
    } catch (const std::bad_alloc&) {
        result.failure = fileio::WriteResult::Failure::Write;
        result.reason = "out of memory";
        std::error_code ec;
        result.hadOldFile = std::filesystem::exists(path, ec);
    }
    if (!bytes.empty()) {
        result = fileio::Replace(path, bytes);
    }
    if (!result.ok()) {
        prompter_.Tell(text::Concat({"Unable to write the schedule file \"", fileio::Display(path),
                                     "\" (", result.reason,
                                     "). The card's schedules were not "
                                     "saved. ",
                                     result.Aftermath(path)}),
                       Prompter::Icon::Warning);
        return false;
    }
    return true;
}
