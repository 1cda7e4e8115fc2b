#include "model/CardConfig.h"

#include "model/Bytes.h"

#include <algorithm>
#include <unordered_map>

void PackName(std::string_view text, std::uint32_t* words) {
    std::uint8_t packed[layout::kNameLength] = {};
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), layout::kNameLength), packed);
    for (int i = 0; i < 4; ++i) {
        words[i] = le24::Read(packed, 3 * static_cast<std::size_t>(i));
    }
}

NameText UnpackNameText(const std::uint32_t* words) {
    NameText name;
    for (int i = 0; i < layout::kNameLength; ++i) {
        const char c = static_cast<char>((words[i / 3] >> (8 * (i % 3))) & 0xFF);
        if (c == 0) {
            break;
        }
        name.text[name.size++] = c;
    }
    return name;
}

std::uint64_t CardConfig::Get(StampField f) const {
    const int w = f.word;
    return static_cast<std::uint64_t>(Word(w)) | (static_cast<std::uint64_t>(Word(w + 1)) << 24) |
           (static_cast<std::uint64_t>(Word(w + 2) & 0xFFFF) << 48);
}

void CardConfig::Set(StampField f, std::uint64_t t) {
    const int w = f.word;
    SetWord(w, static_cast<std::uint32_t>(t & 0xFFFFFF));
    SetWord(w + 1, static_cast<std::uint32_t>((t >> 24) & 0xFFFFFF));
    // The top 16 bits are kept sign-extended to the word's 24 bits.
    std::uint32_t high = static_cast<std::uint32_t>((t >> 48) & 0xFFFF);
    if (high & 0x8000) {
        high |= 0xFF0000;
    }
    SetWord(w + 2, high);
}

void CardConfig::SetDefaults() {
    Clear();
    using namespace field;
    for (const auto& f :
         {kConfigVersion, kTrackNameTablePosition, kLayoutConstant, kMainVolumeLeft,
          kMainVolumeRight, kHalfMuteVolumeLeft, kHalfMuteVolumeRight, kBassCornerFrequency,
          kTrebleCornerFrequency, kAudioConstant, kPlayerControlChannel, kLevelControlChannelLeft,
          kLevelControlChannelRight}) {
        ResetToDefault(f);
    }
    for (const auto& f : {kPowerAmplifiersFlag, kAnimationFromFlashFlag, kDmxChecksumFlag}) {
        ResetToDefault(f);
    }
    SetPlayerModel(PlayerModel::Tunbox);
}

std::uint32_t CardConfig::ModelPattern(PlayerModel model) {
    switch (model) {
        case PlayerModel::Tunlet:
            return kModelAudioOnly | kModelTwoInputs;
        case PlayerModel::Tunbox:
            return kModelAudioOnly | kModel8;
        case PlayerModel::TunboxA8:
            return kModel8;
        case PlayerModel::TunboxA40:
            return kModel40;
        case PlayerModel::TunboxC8:
            return kModel8 | kModelClock;
        case PlayerModel::TunboxC40:
            return kModel40 | kModelClock;
    }
    return 0;
}

void CardConfig::SetPlayerModel(PlayerModel model) {
    constexpr std::uint32_t kModelBits =
        kModelAudioOnly | kModel8 | kModel40 | kModelClock | kModelTwoInputs;
    Set(field::kPlayerModelWord,
        (Get(field::kPlayerModelWord) & ~kModelBits) | ModelPattern(model));
}

bool CardConfig::IsModel(PlayerModel model) const {
    const std::uint32_t w = Get(field::kPlayerModelWord);
    const bool audioOnly = w & kModelAudioOnly;
    const bool two = w & kModelTwoInputs;
    const bool eight = w & kModel8;
    const bool forty = w & kModel40;
    const bool clock = w & kModelClock;
    switch (model) {
        case PlayerModel::Tunlet:
            return audioOnly && two;
        case PlayerModel::Tunbox:
            return audioOnly && !two;
        case PlayerModel::TunboxA8:
            return !audioOnly && !two && eight && !clock;
        case PlayerModel::TunboxC8:
            return !audioOnly && !two && eight && clock;
        case PlayerModel::TunboxA40:
            return !audioOnly && !two && forty && !clock;
        case PlayerModel::TunboxC40:
            return !audioOnly && !two && forty && clock;
    }
    return false;
}

void CardConfig::ClearTrack(int n) {
    SetTrackRecordWord(n, 0, 0x201);
    Set(field::kWaitForInput, n, true);
    Set(field::kFilePosition, n, 0);
    SetTrackName(n, "");
}

void CardConfig::RebuildPlaylistSlots() {
    for (int n = 0; n < layout::kTrackSlots; ++n) {
        Set(field::kPlaylistSlot, n, 0);
    }
    // Each name's lowest track number, looked up once per entry.
    std::unordered_map<std::string, int> trackOfName;
    for (int n = layout::kMaxTrack; n >= 1; --n) {
        trackOfName[TrackName(n)] = n;
    }
    for (int p = 0; p < layout::kPlaylistCount; ++p) {
        if (RawPlaylistCount(p) > static_cast<std::uint32_t>(layout::kPlaylistEntries)) {
            // An empty playlist has empty entries, so that tracks can be
            // added to it again.
            SetPlaylistCount(p, 0);
            for (int k = 0; k <= layout::kPlaylistEntries; ++k) {
                SetPlaylistEntry(p, k, "");
            }
        }
        const int count = static_cast<int>(PlaylistCount(p));
        for (int k = 0; k < count; ++k) {
            // An empty entry names no file, so it names no track either.
            const std::string entry = PlaylistEntry(p, k);
            if (entry.empty()) {
                continue;
            }
            if (auto it = trackOfName.find(entry); it != trackOfName.end()) {
                Set(field::kPlaylistSlot, layout::PlaylistSlot(p, k),
                    static_cast<std::uint32_t>(it->second));
            }
        }
    }
}

void CardConfig::SetInputRecord(InputSet set, int input, std::uint32_t code, std::uint32_t mode,
                                std::uint32_t closeFade) {
    constexpr std::uint32_t kOneSecond = 10;
    const int w = layout::InputWord(set, input);
    SetWord(w, code & 0x1FF);
    SetWord(w + 1, 0);
    SetWord(w + 2, (mode & 0xF) | ((closeFade & 0x7) << 4) | (kOneSecond << 7));
}

void CardConfig::ClearInputSet(InputSet set) {
    for (int i = 0; i < layout::kInputCount; ++i) {
        SetInputRecord(set, i, 0, 0, 0);
    }
}

void CardConfig::ApplyInputDefaults(InputSet set, int n) {
    using namespace playcode;
    if (n > 8) {
        // Many tracks: the low inputs form a binary track number wide enough
        // for n; the free high inputs keep the fades and the stop.
        SetInputRecord(set, 7, n < 128 ? kStopNow : 0, n < 128 ? 1 : 9, 0);
        SetInputRecord(set, 6, 0, n < 64 ? 1 : 8, n < 64 ? 1 : 0);
        SetInputRecord(set, 5, 0, n < 32 ? 1 : 7, n < 32 ? 2 : 0);
        SetInputRecord(set, 4, 0, n < 16 ? 1 : 6, n < 16 ? 3 : 0);
        SetInputRecord(set, 3, 0, 5, 0);
        SetInputRecord(set, 2, 0, 4, 0);
        SetInputRecord(set, 1, 0, 3, 0);
        SetInputRecord(set, 0, kNextHigher, 2, 0);
        return;
    }
    // Few tracks: input i plays track i+1, input 7 stops, and inputs 4 to 6
    // without a track fade to full, half mute and zero.
    SetInputRecord(set, 7, n < 8 ? kStopNow : 8, 1, 0);
    SetInputRecord(set, 6, n < 7 ? 0 : 7, 1, n < 7 ? 1 : 0);
    SetInputRecord(set, 5, n < 6 ? 0 : 6, 1, n < 6 ? 2 : 0);
    SetInputRecord(set, 4, n < 5 ? 0 : 5, 1, n < 5 ? 3 : 0);
    for (int i = 3; i >= 0; --i) {
        const bool hasTrack = n >= i + 1;
        SetInputRecord(set, i, hasTrack ? static_cast<std::uint32_t>(i + 1) : 0, hasTrack ? 1 : 0,
                       0);
    }
}

void CardConfig::SwapTracks(int a, int b) {
    const std::string nameA = TrackName(a);
    SetTrackName(a, TrackName(b));
    SetTrackName(b, nameA);
    // Both record words, playlist slot value included: the next rebuild of
    // the slot values derives them afresh from the names.
    for (int word = 0; word < 2; ++word) {
        const std::uint32_t wordA = TrackRecordWord(a, word);
        SetTrackRecordWord(a, word, TrackRecordWord(b, word));
        SetTrackRecordWord(b, word, wordA);
    }
}

void CardConfig::RemovePlaylistEntries(int p, const std::vector<int>& rows) {
    int count = static_cast<int>(PlaylistCount(p));
    for (int row : rows) {
        if (row >= 0 && row < count) {
            SetPlaylistEntry(p, row, {});
        }
    }
    int kept = 0;
    for (int k = 0; k < count; ++k) {
        const std::string entry = PlaylistEntry(p, k);
        if (!entry.empty()) {
            SetPlaylistEntry(p, kept++, entry);
        }
    }
    for (int k = kept; k < count; ++k) {
        SetPlaylistEntry(p, k, {});
    }
    SetPlaylistCount(p, static_cast<std::uint32_t>(kept));
}

void CardConfig::SwapPlaylistEntries(int p, int k) {
    const std::string upper = PlaylistEntry(p, k);
    SetPlaylistEntry(p, k, PlaylistEntry(p, k + 1));
    SetPlaylistEntry(p, k + 1, upper);
}

bool CardConfig::MovePlaylistEntries(int p, const std::vector<int>& rows, int step) {
    const int count = static_cast<int>(PlaylistCount(p));
    if (rows.empty() || rows.front() < 0 || rows.back() >= count) {
        return false;
    }
    if (step < 0) {
        if (rows.front() == 0) {
            return false;
        }
        for (int k : rows) {
            SwapPlaylistEntries(p, k - 1);
        }
        return true;
    }
    if (rows.back() >= count - 1) {
        return false;
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        SwapPlaylistEntries(p, *it);
    }
    return true;
}

void CardConfig::ResetCommonDefaults(InputSet set, int trackCount) {
    using namespace field;
    for (const auto& f :
         {kSerialAddress, kFirstAnimationChannel, kMainVolumeLeft, kMainVolumeRight,
          kHalfMuteVolumeLeft, kHalfMuteVolumeRight, kPlayerControlChannel,
          kLevelControlChannelLeft, kLevelControlChannelRight, kMidiChannel, kAnimationFirstNote,
          kBassCornerFrequency, kTrebleCornerFrequency, kAudioConstant}) {
        ResetToDefault(f);
    }
    ResetToDefault(kBassGain);
    ResetToDefault(kTrebleGain);
    // Option bits 0 to 10: reception modes, realtime levels, outputs off,
    // MIDI notes and write protection off; amplifiers, animation from flash
    // and the DMX checksum on. The clock flags and the derived input mask
    // keep their values.
    for (const auto& f :
         {kPowerAmplifiersFlag, kDmxReception, kMidiReception, kNetSerialReception,
          kIrRemoteReception, kAnimationFromFlashFlag, kRealtimeLevelLeft, kRealtimeLevelRight,
          kOutputsOffFlag, kDmxChecksumFlag, kMidiNotesFlag, kFlashWriteProtectFlag}) {
        ResetToDefault(f);
    }
    ApplyInputDefaults(set, trackCount);
}

void CardConfig::ResetEverythingToDefaults(int trackCount) {
    const std::uint32_t model = Get(field::kPlayerModelWord);
    if (IsAudioOnly()) {
        ResetCommonDefaults(InputSet::Player, trackCount);
    } else if ((model & (kModel8 | kModel40)) != 0) {
        // The animation models take their commands on the animation inputs.
        ClearInputSet(InputSet::Player);
        ResetCommonDefaults(InputSet::Animation, trackCount);
        if ((model & kModel8) == 0) {
            // The /40 models keep channels 1 to 4 for their own outputs.
            Set(field::kPlayerControlChannel, 5);
            Set(field::kLevelControlChannelLeft, 6);
            Set(field::kLevelControlChannelRight, 7);
        }
    }
    if (HasClock()) {
        Set(field::kResetClockFlag, true);
        Set(field::kNoBlueStartsFlag, false);
    }
}
