#include "model/ConfigFile.h"

#include <algorithm>
#include <cstdio>

#include "model/CardFiles.h"
#include "model/CardwrightDoc.h"
#include "model/FileIo.h"
#include "model/Text.h"

namespace configfile {

std::vector<std::uint8_t> Encode(const CardConfig& config) {
    std::vector<std::uint8_t> bytes(layout::kFileSize);
    for (int w = 0; w < layout::kWordCount; ++w) {
        const std::uint32_t v = config.Word(w);
        bytes[3 * w] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[3 * w + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        bytes[3 * w + 2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
    }
    return bytes;
}

void Decode(std::span<const std::uint8_t> bytes, CardConfig& config) {
    for (int w = 0; w < layout::kWordCount; ++w) {
        config.SetWord(w, bytes[3 * w] | (bytes[3 * w + 1] << 8) |
                              (static_cast<std::uint32_t>(bytes[3 * w + 2]) << 16));
    }
}

std::uint32_t Version(std::span<const std::uint8_t> bytes) {
    return bytes[0] | (bytes[1] << 8) | (static_cast<std::uint32_t>(bytes[2]) << 16);
}

}  // namespace configfile

namespace {

std::string Format(const char* pattern, unsigned a, unsigned b) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

std::string Quoted(const std::filesystem::path& path) {
    return text::Concat({"\"", fileio::Display(path), "\""});
}

}  // namespace

bool CCardwrightDoc::RejectOpen(const std::filesystem::path& path, const std::string& reason) {
    // Nothing of the refused file has reached the document: it stays as the
    // user had it.
    prompter_.Tell(text::Concat({"Unable to open ", Quoted(path), ":\n", reason}),
                   Prompter::Icon::Warning);
    return false;
}

bool CCardwrightDoc::CardHoldsOtherFiles(const std::filesystem::path& cardDir) const {
    std::error_code ec;
    for (const char* name : {cardfiles::kScheduleFileName, cardfiles::kKeldaFileName}) {
        if (std::filesystem::exists(cardDir / name, ec)) {
            return true;
        }
    }
    const std::filesystem::path sounds = SoundsDirectory(cardDir);
    for (const platform::DirEntry& e : lister_(sounds, ec)) {
        if (!e.isDirectory && cardfiles::IsAudioFileName(e.longName)) {
            return true;
        }
    }
    return false;
}

bool CCardwrightDoc::OnOpenDocument(const std::filesystem::path& requested) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(requested, ec);
    const std::filesystem::path cardDir = path.parent_path();
    // The card directory becomes the current directory, as the player's own
    // relative file names assume; a refused file puts the old one back.
    const std::filesystem::path previousDir = std::filesystem::current_path(ec);
    std::filesystem::current_path(cardDir, ec);
    const auto refuse = [&](const std::string& reason) {
        std::error_code ignored;
        if (!previousDir.empty()) {
            std::filesystem::current_path(previousDir, ignored);
        }
        return RejectOpen(path, reason);
    };

    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    std::string error;
    if (!fileio::ReadPrefix(path, layout::kFileSize, bytes, size, error)) {
        return refuse(text::Concat({error, "."}));
    }

    // The whole card is read and checked before the document takes any of it.
    CardConfig config;
    config.SetDefaults();
    config.SetConfigVersion(ConfiguratorVersion());
    ScheduleSet schedules;
    {
        BusyScope busy(busy_);
        if (size == 0) {
            // An empty file opens as a configuration with every default. Beside
            // other card files it is far more likely the remains of a save that
            // was cut short than a wish for defaults, so the user decides.
            if (CardHoldsOtherFiles(cardDir) &&
                prompter_.Ask(text::Concat({path.filename().string(),
                                            " on this card is empty, which usually means a save "
                                            "was interrupted. Open it with all settings at their "
                                            "defaults?"}),
                              Prompter::Buttons::YesNo,
                              Prompter::Icon::Warning) != Prompter::Answer::Yes) {
                return refuse(
                    "the file is empty, and you chose not to open it with default "
                    "settings.");
            }
        } else {
            if (size / 3 != static_cast<std::uintmax_t>(layout::kWordCount)) {
                return refuse(text::Concat({"the file is ", std::to_string(size),
                                            " bytes long, but a TUNBOX configuration file holds ",
                                            std::to_string(layout::kFileSize), " bytes."}));
            }
            const std::uint32_t version = configfile::Version(bytes);
            const std::uint32_t ours = ConfiguratorVersion();
            if (version > ours) {
                prompter_.Tell(
                    Format("Configuration file is version %u, but configurator is only version "
                           "%u.  You must use a newer configurator.",
                           version, ours));
                return refuse(text::Concat({"it was written by a newer configurator (version ",
                                            std::to_string(version), ")."}));
            }
            if (version < ours) {
                const auto answer = prompter_.Ask(
                    Format("Configuration file is version %u and this configurator is version "
                           "%u.\nUnless you want to upgrade the firmware on this flash card you "
                           "should\nuse an older matching configurator on this card.\n\nDo you "
                           "want to continue?",
                           version, ours),
                    Prompter::Buttons::YesNo, Prompter::Icon::None);
                if (answer != Prompter::Answer::Yes) {
                    return refuse(text::Concat({"it is a version ", std::to_string(version),
                                                " configuration, and you chose not to open it."}));
                }
            }
            configfile::Decode(bytes, config);
        }
        ReadScheduleInto(cardDir, static_cast<std::uint8_t>(config.SerialAddress()), schedules);
        if (!PrepareSoundsDir(cardDir)) {
            return refuse("the card's SOUNDS directory cannot be used.");
        }
    }
    DeleteContents();
    config_ = config;
    schedules_ = std::move(schedules);
    SetPathName(path);
    SetModifiedFlag(false);
    loaded_ = true;
    return true;
}

bool CCardwrightDoc::OnSaveDocument(const std::filesystem::path& requested) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(requested, ec);
    if (text::AsciiUpper(path.stem().string()) != "TUNBOX" ||
        text::AsciiUpper(path.extension().string()) != ".CFG") {
        const auto answer = prompter_.Ask(
            "WARNING!\n\nThe TUNBOX only uses a config file named TUNBOX.CFG\n\nYou can save "
            "config files under other names, but you MUST\nrename them to TUNBOX.CFG before they "
            "will be used.",
            Prompter::Buttons::OkCancel, Prompter::Icon::Warning);
        if (answer != Prompter::Answer::Ok) {
            return false;
        }
    }

    // The files are made from copies: the record in memory takes the new
    // version, and the schedules their compacted numbers, only once the card
    // holds every file, so a failed save leaves the document as it was.
    CardConfig saved = config_;
    saved.SetConfigVersion(ConfiguratorVersion());
    ScheduleSet schedules = schedules_;
    const std::filesystem::path cardDir = path.parent_path();
    bool complete = true;
    {
        BusyScope busy(busy_);
        const fileio::WriteResult written = fileio::Replace(path, configfile::Encode(saved));
        if (!written.ok()) {
            std::string what;
            switch (written.failure) {
                case fileio::WriteResult::Failure::NotAFile:
                    what = text::Concat({written.reason, "."});
                    break;
                case fileio::WriteResult::Failure::Create:
                    what = text::Concat({"the file cannot be created (", written.reason, ")."});
                    break;
                default:
                    what = text::Concat({"writing the file failed (", written.reason, ")."});
                    break;
            }
            prompter_.Tell(text::Concat({"Unable to save ", Quoted(path), ":\n", what, " ",
                                         written.Aftermath(path)}),
                           Prompter::Icon::Warning);
            return false;
        }
        complete =
            WriteSchedule(cardDir, schedules, static_cast<std::uint8_t>(saved.SerialAddress()));
        complete = WriteKelda(cardDir, saved) && complete;
        // A program that could not be copied has been reported; the card is
        // still usable with the copy it has.
        CopyProgramToCard(path);
    }
    if (!complete) {
        return false;
    }
    config_.SetConfigVersion(saved.ConfigVersion());
    schedules_ = std::move(schedules);
    SetModifiedFlag(false);
    if (!PrepareSoundsDir(cardDir)) {
        prompter_.Tell(text::Concat({"The configuration was written to ", Quoted(path),
                                     ", but the save is not complete: the card's SOUNDS "
                                     "directory cannot be used."}),
                       Prompter::Icon::Warning);
        return false;
    }
    SetPathName(path);
    loaded_ = true;
    return true;
}
