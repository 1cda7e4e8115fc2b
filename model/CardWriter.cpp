#include "model/CardWriter.h"

#include <new>

#include "model/CardFiles.h"
#include "model/ConfigFile.h"
#include "model/FileIo.h"
#include "model/KeldaFile.h"
#include "model/Text.h"

namespace {

bool SamePathIgnoringCase(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) {
        return true;
    }
    return text::EqualIgnoringCase(a.lexically_normal().string(), b.lexically_normal().string());
}

}  // namespace

bool CardWriter::WriteConfig(const std::filesystem::path& path, const CardConfig& config) {
    const fileio::WriteResult result = fileio::Replace(path, configfile::Encode(config));
    if (result.ok()) {
        return true;
    }
    std::string what;
    switch (result.failure) {
        case fileio::WriteResult::Failure::NotAFile:
            what = text::Concat({result.reason, "."});
            break;
        case fileio::WriteResult::Failure::Create:
            what = text::Concat({"the file cannot be created (", result.reason, ")."});
            break;
        default:
            what = text::Concat({"writing the file failed (", result.reason, ")."});
            break;
    }
    prompter_.Tell(text::Concat({"Unable to save ", fileio::Quoted(path), ":\n", what, " ",
                                 result.Aftermath(path)}),
                   Prompter::Icon::Warning);
    return false;
}

bool CardWriter::WriteSchedule(const std::filesystem::path& cardDir, ScheduleSet& schedules,
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
    if (result.ok()) {
        return true;
    }
    prompter_.Tell(text::Concat({"Unable to write the schedule file ", fileio::Quoted(path), " (",
                                 result.reason, "). The card's schedules were not saved. ",
                                 result.Aftermath(path)}),
                   Prompter::Icon::Warning);
    return false;
}

bool CardWriter::WriteKelda(const std::filesystem::path& cardDir, const CardConfig& config) {
    const std::filesystem::path path = cardDir / cardfiles::kKeldaFileName;
    const fileio::WriteResult result = fileio::Replace(path, keldafile::Encode(config));
    if (result.ok()) {
        return true;
    }
    const bool opening = result.failure != fileio::WriteResult::Failure::Write;
    prompter_.Tell(text::Concat({opening ? "Unable to open KELDA config file for writing!"
                                         : "Unable to write KELDA config file!",
                                 "\n\n", fileio::Quoted(path), ": ", result.reason, ". ",
                                 result.Aftermath(path)}),
                   Prompter::Icon::Warning);
    return false;
}

bool CardWriter::CopyProgram(const std::filesystem::path& cardDir) {
    const std::filesystem::path target = cardDir / cardfiles::kProgramFileName;
    if (program_.empty()) {
        return false;
    }
    // Running from the card itself: the program is already there.
    if (SamePathIgnoringCase(program_, target)) {
        return true;
    }
    const fileio::WriteResult result = fileio::ReplaceWithCopy(target, program_);
    if (result.ok()) {
        return true;
    }
    prompter_.Tell(text::Concat({"Unable to copy Cardwright.exe to SmartMedia card!\n\n",
                                 fileio::Quoted(target), ": ", result.reason, ". ",
                                 result.Aftermath(target)}));
    return false;
}
