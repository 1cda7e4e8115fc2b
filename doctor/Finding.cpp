#include "doctor/Finding.h"

#include <algorithm>

namespace doctor {

namespace {

constexpr std::string_view kFindingIds[] = {
    "audio-in-root",
    "audio-partly-inspected",
    "audio-unreadable",
    "card-unreadable",
    "config-missing",
    "config-name",
    "config-size",
    "config-surplus",
    "config-unreadable",
    "config-version",
    "content-mismatch",
    "empty-file",
    "end-action-code",
    "end-action-track-missing",
    "file-without-track",
    "input-mode-unknown",
    "input-playlist-entry-missing",
    "input-track-missing",
    "low-space",
    "mp3-damaged",
    "mp3-layer",
    "mp3-truncated",
    "mp3-unreadable",
    "not-fat",
    "playlist-entry-missing",
    "power-up-track-missing",
    "save-leftovers",
    "schedule-bad",
    "schedule-events-dropped",
    "schedule-missing",
    "schedule-track-missing",
    "show-file-missing",
    "sounds-missing",
    "sounds-not-folder",
    "sounds-unreadable",
    "too-many-files",
    "track-missing",
    "track-moved",
    "truncated-wav",
    "wav-format",
    "wav-unreadable",
};

}  // namespace

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            return "warning";
        case Severity::Note:
            break;
    }
    return "note";
}

std::optional<Severity> SeverityNamed(std::string_view name) {
    for (const Severity s : {Severity::Note, Severity::Warning, Severity::Error}) {
        if (name == SeverityName(s)) {
            return s;
        }
    }
    return std::nullopt;
}

int ExitStatus(const std::vector<Finding>& findings) {
    int status = 0;
    for (const Finding& f : findings) {
        if (f.severity == Severity::Error) {
            return 2;
        }
        if (f.severity == Severity::Warning) {
            status = 1;
        }
    }
    return status;
}

void SortWorstFirst(std::vector<Finding>& findings) {
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        return static_cast<int>(a.severity) > static_cast<int>(b.severity);
    });
}

std::span<const std::string_view> FindingIds() {
    return kFindingIds;
}

bool IsFindingId(std::string_view id) {
    return std::binary_search(std::begin(kFindingIds), std::end(kFindingIds), id);
}

}  // namespace doctor
