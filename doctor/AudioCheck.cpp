#include "doctor/AudioCheck.h"

#include "media/PlayerCheck.h"

namespace doctor {

namespace {

using media::Verdict;

struct Outcome {
    Verdict verdict;
    const char* id;
    const char* action;
};

constexpr const char* kConvertWav = "convert it to a 16-bit PCM WAV file, mono or stereo";
constexpr const char* kCopyAgain = "copy the file onto the card again";

constexpr Outcome kOutcomes[] = {
    {Verdict::CannotOpen, "audio-unreadable", kCopyAgain},
    {Verdict::Empty, "empty-file", "copy the audio file onto the card again"},
    {Verdict::WavUnreadable, "wav-unreadable",
     "copy the file onto the card again, or convert it to a 16-bit PCM WAV file"},
    {Verdict::WavEncoding, "wav-format", kConvertWav},
    {Verdict::WavTruncated, "truncated-wav", kCopyAgain},
    {Verdict::Mp3Unreadable, "mp3-unreadable",
     "copy the file onto the card again, or convert it to an MP3 file"},
    {Verdict::Mp3Layer, "mp3-layer", "convert it to an MP3 file"},
    {Verdict::Mp3Damaged, "mp3-damaged", "copy the file onto the card again, or encode it again"},
    {Verdict::Mp3Truncated, "mp3-truncated", kCopyAgain},
    {Verdict::WavHoldsMp3, "content-mismatch", "rename it to .MP3"},
    {Verdict::WavHoldsOther, "content-mismatch", kConvertWav},
    {Verdict::Mp3HoldsWav, "content-mismatch", "rename it to .WAV"},
    {Verdict::Mp3HoldsOther, "content-mismatch", "convert it to an MP3 file"},
};

}  // namespace

std::optional<Finding> InspectAudio(std::string_view name, const media::Probe& probe) {
    const media::PlayerCheck check = media::CheckForPlayer(probe, name);
    Finding f;
    if (check.verdict == Verdict::Plays) {
        if (!probe.partial) {
            return std::nullopt;
        }
        f.severity = Severity::Note;
        f.id = "audio-partly-inspected";
        f.problem = "the file is " + std::to_string(probe.fileSize) + " bytes long; its frames " +
                    "were checked only as far as byte " + std::to_string(probe.bytesRead);
        f.action = "check that the player plays it to the end";
        return f;
    }
    f.severity = Severity::Error;
    f.problem = check.problem;
    for (const Outcome& o : kOutcomes) {
        if (o.verdict == check.verdict) {
            f.id = o.id;
            f.action = o.action;
        }
    }
    return f;
}

}  // namespace doctor
