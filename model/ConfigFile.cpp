#include "model/ConfigFile.h"

#include <algorithm>
#include <cstdio>

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
    // A rejected file leaves a fresh, untitled document behind.
    OnNewDocument();
    prompter_.Tell(text::Concat({"Unable to open ", Quoted(path), ":\n", reason}),
                   Prompter::Icon::Warning);
    return false;
}

bool CCardwrightDoc::OnOpenDocument(const std::filesystem::path& requested) {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(requested, ec);
    const std::filesystem::path cardDir = path.parent_path();
    // The card directory becomes the current directory, as the player's own
    // relative file names assume.
    std::filesystem::current_path(cardDir, ec);

    std::vector<std::uint8_t> bytes;
    std::uintmax_t size = 0;
    std::string error;
    if (!fileio::ReadPrefix(path, layout::kFileSize, bytes, size, error)) {
        prompter_.Tell(text::Concat({"Unable to open ", Quoted(path), ":\n", error, "."}),
                       Prompter::Icon::Warning);
        return false;
    }

    DeleteContents();
    SetModifiedFlag(true);
    {
        BusyScope busy(busy_);
        // An empty file opens as a configuration with every default.
        if (size != 0) {
            if (size / 3 != static_cast<std::uintmax_t>(layout::kWordCount)) {
                return RejectOpen(
                    path, text::Concat({"the file is ", std::to_string(size),
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
                return RejectOpen(path,
                                  text::Concat({"it was written by a newer configurator (version ",
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
                    return RejectOpen(
                        path, text::Concat({"it is a version ", std::to_string(version),
                                            " configuration, and you chose not to open it."}));
                }
            }
            configfile::Decode(bytes, config_);
        }
        SetPathName(path);
        ReadScheduleFile();
        if (!PrepareSoundsDir(cardDir)) {
            return RejectOpen(path, "the card's SOUNDS directory cannot be used.");
        }
    }
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

    {
        BusyScope busy(busy_);
        // The record in memory takes the new version only once the file holds it,
        // so a failed save leaves the document as it was.
        CardConfig saved = config_;
        saved.SetConfigVersion(ConfiguratorVersion());
        const std::vector<std::uint8_t> bytes = configfile::Encode(saved);
        std::string error;
        switch (fileio::Write(path, bytes, error)) {
            case fileio::WriteFailure::None:
                break;
            case fileio::WriteFailure::Create:
                prompter_.Tell(text::Concat({"Unable to save ", Quoted(path),
                                             ":\nthe file cannot be created (", error, ")."}),
                               Prompter::Icon::Warning);
                return false;
            case fileio::WriteFailure::Write:
                prompter_.Tell(
                    text::Concat({"Unable to save ", Quoted(path), ":\nwriting the file failed (",
                                  error, "). The file on the card is incomplete."}),
                    Prompter::Icon::Warning);
                return false;
        }
        config_.SetConfigVersion(ConfiguratorVersion());

        WriteScheduleFile(path);
        WriteKeldaConfig(path);
        CopyProgramToCard(path);
    }
    SetModifiedFlag(false);
    if (!PrepareSoundsDir(path.parent_path())) {
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
