#include "doctor/SettingNames.h"

#include <algorithm>
#include <map>

#include "model/InputTable.h"

namespace doctor::names {

namespace {

using U = std::uint32_t;

Setting Describe(const char* id, int word, int shift, int width, Kind kind) {
    Setting s{SnakeName(id), word, shift, width, kind, 0, 0};
    if (kind == Kind::Signed) {
        s.min = -(std::int64_t{1} << (width - 1));
        s.max = (std::int64_t{1} << (width - 1)) - 1;
    } else {
        s.max = (std::int64_t{1} << width) - 1;
    }
    return s;
}

template <typename T>
constexpr Kind KindOf() {
    if constexpr (std::is_same_v<T, bool>) {
        return Kind::Bool;
    } else if constexpr (std::is_signed_v<T>) {
        return Kind::Signed;
    } else {
        return Kind::Unsigned;
    }
}

template <typename T>
Setting Describe(const char* id, const Field<T>& f) {
    return Describe(id, f.word, f.shift, f.width, KindOf<T>());
}
template <typename T>
Setting Describe(const char* id, const TrackField<T>& f) {
    return Describe(id, f.word, f.shift, f.width, KindOf<T>());
}
template <typename T>
Setting Describe(const char* id, const InputField<T>& f) {
    return Describe(id, f.word, f.shift, f.width, KindOf<T>());
}
template <typename T>
Setting Describe(const char* id, const PlaylistField<T>& f) {
    return Describe(id, 0, f.shift, f.width, KindOf<T>());
}
Setting Describe(const char* id, NameField f) {
    return Describe(id, f.word, 0, 0, Kind::Name);
}
Setting Describe(const char* id, StampField f) {
    return Describe(id, f.word, 0, 0, Kind::Stamp);
}

#define CW_SETTING(f) Describe(#f, field::f)

}  // namespace

std::string SnakeName(const char* identifier) {
    std::string out;
    for (const char* p = identifier + 1; *p; ++p) {
        if (*p >= 'A' && *p <= 'Z') {
            if (!out.empty()) {
                out += '_';
            }
            out += static_cast<char>(*p - 'A' + 'a');
        } else {
            out += *p;
        }
    }
    return out;
}

const std::vector<Section>& RecordSections() {
    static const std::vector<Section> kSections = {
        {"fixed",
         {CW_SETTING(kConfigVersion), CW_SETTING(kTrackNameTablePosition),
          CW_SETTING(kLayoutConstant), CW_SETTING(kAudioConstant)}},
        {"levels",
         {CW_SETTING(kMainVolumeLeft), CW_SETTING(kMainVolumeRight),
          CW_SETTING(kHalfMuteVolumeLeft), CW_SETTING(kHalfMuteVolumeRight),
          CW_SETTING(kPowerAmplifiersFlag)}},
        {"tone",
         {CW_SETTING(kBassCornerFrequency), CW_SETTING(kBassGain),
          CW_SETTING(kTrebleCornerFrequency), CW_SETTING(kTrebleGain)}},
        {"channels",
         {CW_SETTING(kSerialAddress), CW_SETTING(kPlayerControlChannel), CW_SETTING(kMidiChannel),
          CW_SETTING(kLevelControlChannelLeft), CW_SETTING(kLevelControlChannelRight),
          CW_SETTING(kAnimationFirstNote), CW_SETTING(kFirstAnimationChannel)}},
        {"options",
         {CW_SETTING(kDmxReception), CW_SETTING(kMidiReception), CW_SETTING(kNetSerialReception),
          CW_SETTING(kIrRemoteReception), CW_SETTING(kAnimationFromFlashFlag),
          CW_SETTING(kRealtimeLevelLeft), CW_SETTING(kRealtimeLevelRight),
          CW_SETTING(kOutputsOffFlag), CW_SETTING(kDmxChecksumFlag), CW_SETTING(kMidiNotesFlag),
          CW_SETTING(kFlashWriteProtectFlag), CW_SETTING(kResetClockFlag),
          CW_SETTING(kNoBlueStartsFlag)}},
        {"show_file",
         {CW_SETTING(kNextBootFlag), CW_SETTING(kLoadOnBootFlag), CW_SETTING(kChosenDownloadFile),
          CW_SETTING(kChosenDownloadStamp), CW_SETTING(kCurrentDownloadFile),
          CW_SETTING(kCurrentDownloadStamp), CW_SETTING(kSpareFileName)}},
    };
    return kSections;
}

const Setting& PowerUpTrack() {
    static const Setting kSetting = CW_SETTING(kPowerUpTrack);
    return kSetting;
}

const std::vector<Setting>& UnusedTrackSettings() {
    static const std::vector<Setting> kSettings = {CW_SETTING(kStepOn), CW_SETTING(kEndAction),
                                                   CW_SETTING(kEndDelay), CW_SETTING(kWaitForInput),
                                                   CW_SETTING(kFilePosition)};
    return kSettings;
}

const std::vector<Setting>& TrackSettings() {
    static const std::vector<Setting> kSettings = [] {
        std::vector<Setting> settings = UnusedTrackSettings();
        for (Setting& s : settings) {
            if (s.name == SnakeName("kEndAction")) {
                s.valid = &playcode::IsEndAction;
            }
        }
        return settings;
    }();
    return kSettings;
}

const std::vector<Setting>& InputSettings() {
    static const std::vector<Setting> kSettings = [] {
        std::vector<Setting> settings = {
            CW_SETTING(kInputMode),  CW_SETTING(kCloseCode),    CW_SETTING(kClosePlaylist),
            CW_SETTING(kCloseDelay), CW_SETTING(kCloseFade),    CW_SETTING(kCloseFadeTime),
            CW_SETTING(kOpenCode),   CW_SETTING(kOpenPlaylist), CW_SETTING(kOpenDelay),
            CW_SETTING(kOpenFade),   CW_SETTING(kOpenFadeTime)};
        // The field has room for modes the player does not know.
        settings.front().max = inputs::kHighestMode;
        return settings;
    }();
    return kSettings;
}

const Setting& PlaylistRemember() {
    static const Setting kSetting = CW_SETTING(kPlaylistRemember);
    return kSetting;
}

Setting ForTrack(const Setting& s, int n) {
    Setting out = s;
    out.word = layout::TrackWord(n) + s.word;
    return out;
}

Setting ForInput(const Setting& s, InputSet set, int i) {
    Setting out = s;
    out.word = layout::InputWord(set, i) + s.word;
    return out;
}

Setting ForPlaylist(const Setting& s, int p) {
    Setting out = s;
    out.word = layout::kPlaylistOptionsWord + p / 4;
    out.shift = 6 * (p % 4) + s.shift;
    return out;
}

std::vector<std::pair<std::int64_t, std::int64_t>> AllowedRuns(const Setting& s) {
    if (!s.valid) {
        return {{s.min, s.max}};
    }
    std::vector<std::pair<std::int64_t, std::int64_t>> runs;
    for (std::int64_t v = std::max<std::int64_t>(s.min, 0); v <= s.max; ++v) {
        if (!s.valid(static_cast<std::uint32_t>(v))) {
            continue;
        }
        if (!runs.empty() && runs.back().second == v - 1) {
            runs.back().second = v;
        } else {
            runs.emplace_back(v, v);
        }
    }
    return runs;
}

std::string AllowedText(const Setting& s) {
    std::string out = "must be a whole number";
    const auto runs = AllowedRuns(s);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        out += k == 0 ? " " : " or ";
        out += runs[k].first == runs[k].second ? std::to_string(runs[k].first)
                                               : "from " + std::to_string(runs[k].first) + " to " +
                                                     std::to_string(runs[k].second);
    }
    return out;
}

std::int64_t Read(const CardConfig& c, const Setting& s) {
    const std::uint32_t mask = (1u << s.width) - 1;
    const std::uint32_t bits = (c.Word(s.word) >> s.shift) & mask;
    if (s.kind == Kind::Signed && (bits >> (s.width - 1)) != 0) {
        return static_cast<std::int64_t>(bits) - (std::int64_t{1} << s.width);
    }
    return bits;
}

void Write(CardConfig& c, const Setting& s, std::int64_t value) {
    const std::uint32_t mask = ((1u << s.width) - 1) << s.shift;
    const auto bits = static_cast<std::uint32_t>(value) << s.shift;
    c.SetWord(s.word, (c.Word(s.word) & ~mask) | (bits & mask));
}

}  // namespace doctor::names
