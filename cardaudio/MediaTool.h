#pragma once

#include "model/AddAudio.h"

// The card core's AudioTool over the audio library: a file is probed as the
// player would read it and written as the player plays it.
namespace cardaudio {

class MediaTool final : public addaudio::AudioTool {
  public:
    addaudio::SourceInfo Inspect(const std::filesystem::path& source) override;
    addaudio::WriteOutcome Write(const std::filesystem::path& source,
                                 const std::filesystem::path& output,
                                 const addaudio::ProgressFn& progress,
                                 const std::atomic<bool>* cancel) override;
};

}  // namespace cardaudio
