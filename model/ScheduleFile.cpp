#include "model/CardwrightDoc.h"
#include "model/FileIo.h"

namespace {
constexpr const char* kScheduleFileName = "SCHEDULE.SCH";
// Far beyond the largest real file (255 schedules of 1440 entries each).
constexpr std::size_t kScheduleFileLimit = 4u << 20;
}  // namespace

bool CCardwrightDoc::ReadScheduleFile() {
    const auto address = static_cast<std::uint8_t>(config_.SerialAddress());
    std::vector<std::uint8_t> bytes;
    std::string error;
    // A missing or unreadable file simply means no schedules.
    if (!fileio::ReadAll(CardDirectory() / kScheduleFileName, kScheduleFileLimit, bytes, error)) {
        bytes.clear();
    }
    if (schedules_.Parse(bytes, address) == ScheduleSet::ParseResult::Bad) {
        prompter_.Tell("Schedule.sch file has bad length or checksum, ignoring file.");
    }
    return true;
}

bool CCardwrightDoc::WriteScheduleFile(const std::filesystem::path& configPath) {
    const std::vector<std::uint8_t> bytes =
        schedules_.Serialize(static_cast<std::uint8_t>(config_.SerialAddress()));
    const std::filesystem::path path = configPath.parent_path() / kScheduleFileName;
    std::string error;
    if (fileio::Write(path, bytes, error) != fileio::WriteFailure::None) {
        prompter_.Tell("Unable to write the schedule file \"" + fileio::Display(path) + "\" (" +
                           error + "). The card's schedules were not saved.",
                       Prompter::Icon::Warning);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}
