#include "cardaudio/MediaTool.h"

#include "media/Convert.h"
#include "media/Probe.h"

namespace cardaudio {

addaudio::SourceInfo MediaTool::Inspect(const std::filesystem::path& source) {
    const media::Probe probe = media::ProbeFile(source);
    const media::ConvertPlan plan = media::PlanConversion(probe);
    addaudio::SourceInfo info;
    info.format = probe.formatName;
    info.encoding = probe.encoding;
    info.sampleRate = probe.sampleRate;
    info.channels = probe.channels;
    info.seconds = probe.Seconds();
    info.convert = plan.action == media::Action::Convert;
    info.mp3 = !info.convert && probe.container == media::Container::Mp3;
    info.outputBytes = plan.outputBytes;
    if (plan.refusal) {
        info.refusal = plan.refusal->reason;
    } else if (probe.partial) {
        // Copied unread past the scan limit, a damaged frame there would go
        // onto the card unnoticed.
        info.refusal = "it is too long to be checked whole";
    }
    return info;
}

addaudio::WriteOutcome MediaTool::Write(const std::filesystem::path& source,
                                        const std::filesystem::path& output,
                                        const addaudio::ProgressFn& progress,
                                        const std::atomic<bool>* cancel) {
    media::ConvertOptions options;
    options.progress = progress;
    options.cancel = cancel;
    const media::ConvertResult result = media::ConvertForPlayer(source, output, options);
    addaudio::WriteOutcome out;
    out.cancelled = result.cancelled;
    out.gainDb = result.gainDb;
    if (result.error) {
        out.error = result.error->reason;
    }
    return out;
}

}  // namespace cardaudio
