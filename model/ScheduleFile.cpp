#include "model/CardwrightDoc.h"
#include "model/FileIo.h"

#include <new>

namespace {
constexpr const char* kScheduleFileName = "SCHEDULE.SCH";
// The largest file the 24-bit length field can describe.
constexpr std::size_t kScheduleFileLimit = 0xFFFFFF + 9;
}  // namespace

bool CCardwrightDoc::ReadScheduleFile() {
    const auto address = static_cast<std::uint8_t>(config_.SerialAddress());
    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    std::string error;
    // A missing or unreadable file simply means no schedules; one larger than
    // its length field can say is as bad as a wrong length.
    if (!fileio::ReadPrefix(CardDirectory() / kScheduleFileName, kScheduleFileLimit, bytes, size,
                            error)) {
        bytes.clear();
    }
    const bool tooLarge = size > kScheduleFileLimit;
    if (tooLarge) {
        bytes.clear();
    }
    if (schedules_.Parse(bytes, address) == ScheduleSet::ParseResult::Bad || tooLarge) {
        prompter_.Tell("Schedule.sch file has bad length or checksum, ignoring file.");
    }
    return true;
}

bool CCardwrightDoc::WriteScheduleFile(const std::filesystem::path& configPath) {
    const std::filesystem::path path = configPath.parent_path() / kScheduleFileName;
    std::vector<std::uint8_t> bytes;
    std::string error;
    try {
        bytes = schedules_.Serialize(static_cast<std::uint8_t>(config_.SerialAddress()));
    } catch (const std::bad_alloc&) {
        error = "out of memory";
    }
    if (bytes.empty() || fileio::Write(path, bytes, error) != fileio::WriteFailure::None) {
        prompter_.Tell("Unable to write the schedule file \"" + fileio::Display(path) + "\" (" +
                           error + "). The card's schedules were not saved.",
                       Prompter::Icon::Warning);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}
