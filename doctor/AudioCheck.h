#pragma once

#include <optional>
#include <string_view>

#include "doctor/Finding.h"
#include "media/Probe.h"

// The card check's view of one audio file: what media/ found in it, as a
// finding with its id and what to do, for a file the player will not play or
// that was only partly read.
namespace doctor {

// The finding for the file `name` as `probe` found it, with its file left
// empty for the caller to fill; nothing when it plays and was read whole.
std::optional<Finding> InspectAudio(std::string_view name, const media::Probe& probe);

}  // namespace doctor
