#include "media/PlayerCheck.h"

#include <algorithm>
#include <cctype>

namespace media {

namespace {

PlayerCheck Verdict_(Verdict verdict, std::string problem) {
    return {verdict, std::move(problem)};
}

PlayerCheck Mismatch(Verdict verdict, std::string_view ext, const std::string& holds) {
    return Verdict_(verdict, "the file is named " + std::string(ext) + " but holds " + holds +
                                 "; the player picks the decoder by the extension, so it will "
                                 "not play");
}

PlayerCheck CheckWav(const Probe& probe) {
    switch (probe.container) {
        case Container::Wav:
            break;
        case Container::Mp3:
            return Mismatch(Verdict::WavHoldsMp3, ".WAV", "MP3 audio");
        case Container::Other:
            return Mismatch(Verdict::WavHoldsOther, ".WAV", probe.formatName + " audio");
        case Container::None:
            return Verdict_(
                Verdict::WavUnreadable,
                "the file is not a WAV file that can be read (" + probe.sndfileError + ")");
    }
    if (probe.fault == Fault::WavTruncated) {
        return Verdict_(Verdict::WavTruncated,
                        probe.reason + "; it was probably not copied or recorded whole");
    }
    if (probe.PlaysAsIs()) {
        return {};
    }
    return Verdict_(Verdict::WavEncoding,
                    "the file holds " + probe.encoding + " audio in " +
                        std::to_string(probe.channels) +
                        (probe.channels == 1 ? " channel" : " channels") +
                        "; the player plays only 16-bit PCM in mono or stereo");
}

PlayerCheck CheckMp3(const Probe& probe) {
    switch (probe.container) {
        case Container::Mp3:
            break;
        case Container::Wav:
            return Mismatch(Verdict::Mp3HoldsWav, ".MP3", probe.formatName + " audio");
        case Container::Other:
            return Mismatch(Verdict::Mp3HoldsOther, ".MP3", probe.formatName + " audio");
        case Container::None:
            return Verdict_(Verdict::Mp3Unreadable,
                            "the file is not an MP3 file (" + probe.mpegError + ")");
    }
    if (probe.mpegLayer != 3) {
        return Verdict_(Verdict::Mp3Layer, "the file holds MPEG layer " +
                                               std::to_string(probe.mpegLayer) +
                                               " audio; the player plays only layer III (MP3)");
    }
    if (probe.fault == Fault::Mp3Damaged) {
        return Verdict_(Verdict::Mp3Damaged, probe.reason);
    }
    if (probe.fault == Fault::Mp3Truncated) {
        return Verdict_(Verdict::Mp3Truncated, probe.reason);
    }
    return {};
}

}  // namespace

bool NamedWav(std::string_view name) {
    if (name.size() < 4) {
        return false;
    }
    std::string ext(name.substr(name.size() - 4));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext == ".WAV";
}

PlayerCheck CheckForPlayer(const Probe& probe, std::string_view name) {
    if (probe.fault == Fault::CannotOpen) {
        return Verdict_(Verdict::CannotOpen, "the file cannot be read (" + probe.reason + ")");
    }
    if (probe.fault == Fault::Empty) {
        return Verdict_(Verdict::Empty, probe.reason);
    }
    return NamedWav(name) ? CheckWav(probe) : CheckMp3(probe);
}

}  // namespace media
