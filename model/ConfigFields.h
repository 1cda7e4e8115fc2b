#pragma once

#include <cstdint>

// Where every named field of the configuration record lives: its word, the
// bit it starts at, its width and, where a new document has one, its
// default. Each field is declared here once; CardConfig::Get and Set read and
// write them all, typed: bool for one-bit flags, int for the signed gains.

enum class InputSet { Player = 0, Animation = 1 };

namespace layout {
inline constexpr int kWordCount = 2934;
inline constexpr int kFileSize = kWordCount * 3;  // 8802
inline constexpr int kMaxTrack = 255;
inline constexpr int kTrackSlots = 256;  // record 0 is never a track
inline constexpr int kPlaylistCount = 8;
inline constexpr int kPlaylistEntries = 31;  // usable entries per playlist
inline constexpr int kPlaylistSlotsEach = 32;
inline constexpr int kInputCount = 8;
inline constexpr int kNameLength = 12;

inline constexpr int kInputActionsWord = 19;
inline constexpr int kAnimationInputActionsWord = 43;
inline constexpr int kPlaylistOptionsWord = 70;
inline constexpr int kTrackRecordsWord = 110;
inline constexpr int kTrackNamesWord = 622;
inline constexpr int kPlaylistsWord = 1646;
inline constexpr int kPlaylistBlockWords = 129;

inline constexpr std::uint32_t kLayoutConstant = 2312;
inline constexpr std::uint32_t kAudioConstant = 4;

constexpr int TrackWord(int n) {
    return kTrackRecordsWord + 2 * n;
}
constexpr int PlaylistWord(int p) {
    return kPlaylistsWord + kPlaylistBlockWords * p;
}
// The slot value a playlist entry has: playlist p's entries take 32 slots from 1 + 32p.
constexpr int PlaylistSlot(int p, int k) {
    return 1 + kPlaylistSlotsEach * p + k;
}
constexpr int InputWord(InputSet s, int i) {
    return (s == InputSet::Player ? kInputActionsWord : kAnimationInputActionsWord) + 3 * i;
}
}  // namespace layout

// A bit range inside one word, read as T; `fallback` is a new document's value.
template <typename T>
struct Field {
    int word;
    int shift;
    int width;
    T fallback{};
};

// A field every track record has; `word` counts from the record's first word.
template <typename T>
struct TrackField {
    int word;
    int shift;
    int width;
    constexpr Field<T> For(int n) const { return {layout::TrackWord(n) + word, shift, width}; }
};

// A field every input action record of both tables has.
template <typename T>
struct InputField {
    int word;
    int shift;
    int width;
    constexpr Field<T> For(InputSet s, int i) const {
        return {layout::InputWord(s, i) + word, shift, width};
    }
};

// A field of a playlist's six option bits; four playlists share a word.
template <typename T>
struct PlaylistField {
    int shift;
    int width;
    constexpr Field<T> For(int p) const {
        return {layout::kPlaylistOptionsWord + p / 4, 6 * (p % 4) + shift, width};
    }
};

// An 8.3 name of up to 12 characters in four words, three to a word.
struct NameField {
    int word;
};

// A 64-bit file time in three words: bits 0-23, 24-47 and 48-63.
struct StampField {
    int word;
};

namespace field {
using U = std::uint32_t;

inline constexpr Field<U> kConfigVersion{0, 0, 24, 38};
inline constexpr Field<U> kTrackNameTablePosition{1, 0, 24, layout::kTrackNamesWord};
inline constexpr Field<U> kLayoutConstant{2, 0, 24, layout::kLayoutConstant};
inline constexpr Field<bool> kNextBootFlag{3, 0, 1};
inline constexpr Field<bool> kLoadOnBootFlag{3, 1, 1};
inline constexpr Field<U> kPowerUpTrack{3, 2, 8};
inline constexpr NameField kChosenDownloadFile{4};
inline constexpr NameField kCurrentDownloadFile{8};
inline constexpr Field<U> kMainVolumeLeft{12, 0, 6, 60};
inline constexpr Field<U> kMainVolumeRight{12, 6, 6, 60};
inline constexpr Field<U> kHalfMuteVolumeLeft{12, 12, 6, 30};
inline constexpr Field<U> kHalfMuteVolumeRight{12, 18, 6, 30};
inline constexpr Field<bool> kPowerAmplifiersFlag{13, 0, 1, true};
inline constexpr Field<U> kBassCornerFrequency{14, 0, 24, 200};
inline constexpr Field<int> kBassGain{15, 0, 24, 0};
inline constexpr Field<U> kTrebleCornerFrequency{16, 0, 24, 15000};
inline constexpr Field<int> kTrebleGain{17, 0, 24, 0};
inline constexpr Field<U> kAudioConstant{18, 0, 24, layout::kAudioConstant};
inline constexpr Field<U> kBinaryBitMask{67, 0, 8};
inline constexpr Field<U> kAnimationBinaryBitMask{67, 8, 8};
inline constexpr Field<U> kSerialAddress{85, 0, 8};
inline constexpr Field<U> kPlayerControlChannel{85, 8, 16, 1};
inline constexpr Field<U> kMidiChannel{86, 0, 8};
inline constexpr Field<U> kLevelControlChannelLeft{86, 8, 16, 2};
inline constexpr Field<U> kAnimationFirstNote{87, 0, 8};
inline constexpr Field<U> kLevelControlChannelRight{87, 8, 16, 3};
inline constexpr Field<U> kAnimationInputMaskA{88, 0, 8};
inline constexpr Field<U> kFirstAnimationChannel{88, 8, 16};

// The option word, shared by the Audio, Animation control and Schedule pages:
// each page changes only its own bits.
inline constexpr Field<U> kOptionWord{89, 0, 24};
inline constexpr Field<bool> kDmxReception{89, 0, 1};
inline constexpr Field<bool> kMidiReception{89, 1, 1};
inline constexpr Field<bool> kNetSerialReception{89, 2, 1};
inline constexpr Field<bool> kIrRemoteReception{89, 3, 1};
inline constexpr Field<bool> kAnimationFromFlashFlag{89, 4, 1, true};
inline constexpr Field<bool> kRealtimeLevelLeft{89, 5, 1};
inline constexpr Field<bool> kRealtimeLevelRight{89, 6, 1};
inline constexpr Field<bool> kOutputsOffFlag{89, 7, 1};
inline constexpr Field<bool> kDmxChecksumFlag{89, 8, 1, true};
inline constexpr Field<bool> kMidiNotesFlag{89, 9, 1};
inline constexpr Field<bool> kFlashWriteProtectFlag{89, 10, 1};
inline constexpr Field<bool> kResetClockFlag{89, 11, 1};
inline constexpr Field<bool> kNoBlueStartsFlag{89, 12, 1};
inline constexpr Field<U> kAnimationInputMaskB{89, 16, 8};

inline constexpr NameField kSpareFileName{90};
inline constexpr Field<U> kPlayerModelWord{2678, 0, 24};
inline constexpr StampField kChosenDownloadStamp{2679};
inline constexpr StampField kCurrentDownloadStamp{2682};

// Track records, n = 0 to 255.
inline constexpr TrackField<bool> kStepOn{0, 0, 1};
inline constexpr TrackField<U> kEndAction{0, 1, 9};
inline constexpr TrackField<U> kEndDelay{0, 10, 14};
inline constexpr TrackField<bool> kWaitForInput{1, 0, 1};
inline constexpr TrackField<U> kFilePosition{1, 6, 10};
inline constexpr TrackField<U> kPlaylistSlot{1, 16, 8};

// Input action records, inputs 0 to 7 of either table.
inline constexpr InputField<U> kCloseCode{0, 0, 9};
inline constexpr InputField<bool> kClosePlaylist{0, 9, 1};
inline constexpr InputField<U> kCloseDelay{0, 10, 14};
inline constexpr InputField<U> kOpenCode{1, 0, 9};
inline constexpr InputField<bool> kOpenPlaylist{1, 9, 1};
inline constexpr InputField<U> kOpenDelay{1, 10, 14};
inline constexpr InputField<U> kInputMode{2, 0, 4};
inline constexpr InputField<U> kCloseFade{2, 4, 3};
inline constexpr InputField<U> kCloseFadeTime{2, 7, 7};
inline constexpr InputField<U> kOpenFade{2, 14, 3};
inline constexpr InputField<U> kOpenFadeTime{2, 17, 7};

// Playlist options, p = 0 to 7.
inline constexpr PlaylistField<U> kPlaylistOptions{0, 6};
inline constexpr PlaylistField<bool> kPlaylistRemember{5, 1};
}  // namespace field
