#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>

// The player's configuration record: 2934 words of 24 bits, each held in the
// low 24 bits of a 32-bit slot. It is the image of TUNBOX.CFG (word w at file
// offset 3*w). Every field lives inside one word; the accessors below are the
// only place that knows where.

// A bit range inside one word.
struct BitField {
    int word;
    int shift;
    int width;
};

enum class InputSet { Player = 0, Animation = 1 };

enum class PlayerModel { Tunlet, Tunbox, TunboxA8, TunboxA40, TunboxC8, TunboxC40 };

// Play action codes shared by the track records and the input actions.
namespace playcode {
inline constexpr std::uint32_t kNothing = 0;
inline constexpr std::uint32_t kStopNow = 256;
inline constexpr std::uint32_t kStopAtEnd = 257;
inline constexpr std::uint32_t kNext = 258;
inline constexpr std::uint32_t kNextHigher = 259;
inline constexpr std::uint32_t kSameAgain = 260;
inline constexpr std::uint32_t kRandom = 261;
inline constexpr std::uint32_t kPauseResume = 262;
}  // namespace playcode

namespace layout {
inline constexpr int kWordCount = 2934;
inline constexpr int kFileSize = kWordCount * 3;  // 8802
inline constexpr int kMaxTrack = 255;
inline constexpr int kTrackSlots = 256;  // record 0 is never a track
inline constexpr int kPlaylistCount = 8;
inline constexpr int kPlaylistEntries = 31;  // usable entries per playlist
inline constexpr int kInputCount = 8;
inline constexpr int kNameLength = 12;

inline constexpr int kInputActionsWord = 19;
inline constexpr int kAnimationInputActionsWord = 43;
inline constexpr int kTrackRecordsWord = 110;
inline constexpr int kTrackNamesWord = 622;
inline constexpr int kPlaylistsWord = 1646;
inline constexpr int kPlaylistBlockWords = 129;
inline constexpr int kPlayerModelWord = 2678;
inline constexpr int kOptionWord = 89;

inline constexpr std::uint32_t kLayoutConstant = 2312;
inline constexpr std::uint32_t kAudioConstant = 4;
}  // namespace layout

// Packs up to 12 characters of `text` into four words, three to a word.
void PackName(std::string_view text, std::uint32_t* words);
// Reads the 12 bytes of four words, ending the text at the first zero byte.
std::string UnpackName(const std::uint32_t* words);

class CardConfig {
  public:
    CardConfig() { words_.fill(0); }

    // Raw words, for the file readers and writers only.
    std::uint32_t Word(int w) const {
        assert(w >= 0 && w < layout::kWordCount);
        return words_[static_cast<std::size_t>(w)];
    }
    void SetWord(int w, std::uint32_t v) {
        assert(w >= 0 && w < layout::kWordCount);
        words_[static_cast<std::size_t>(w)] = v & 0xFFFFFF;
    }
    void Clear() { words_.fill(0); }
    bool operator==(const CardConfig&) const = default;

    std::uint32_t Get(BitField f) const;
    void Set(BitField f, std::uint32_t value);

    // Sets every field to the value a new document has.
    void SetDefaults();

#define CARDWRIGHT_FIELD(Name, w, shift, width)         \
    static constexpr BitField k##Name{w, shift, width}; \
    std::uint32_t Name() const {                        \
        return Get(k##Name);                            \
    }                                                   \
    void Set##Name(std::uint32_t v) {                   \
        Set(k##Name, v);                                \
    }

    CARDWRIGHT_FIELD(ConfigVersion, 0, 0, 24)
    CARDWRIGHT_FIELD(TrackNameTablePosition, 1, 0, 24)
    CARDWRIGHT_FIELD(LayoutConstant, 2, 0, 24)
    CARDWRIGHT_FIELD(NextBootFlag, 3, 0, 1)
    CARDWRIGHT_FIELD(LoadOnBootFlag, 3, 1, 1)
    CARDWRIGHT_FIELD(PowerUpTrack, 3, 2, 8)
    CARDWRIGHT_FIELD(MainVolumeLeft, 12, 0, 6)
    CARDWRIGHT_FIELD(MainVolumeRight, 12, 6, 6)
    CARDWRIGHT_FIELD(HalfMuteVolumeLeft, 12, 12, 6)
    CARDWRIGHT_FIELD(HalfMuteVolumeRight, 12, 18, 6)
    CARDWRIGHT_FIELD(PowerAmplifiersFlag, 13, 0, 1)
    CARDWRIGHT_FIELD(BassCornerFrequency, 14, 0, 24)
    CARDWRIGHT_FIELD(TrebleCornerFrequency, 16, 0, 24)
    CARDWRIGHT_FIELD(AudioConstant, 18, 0, 24)
    CARDWRIGHT_FIELD(BinaryBitMask, 67, 0, 8)
    CARDWRIGHT_FIELD(AnimationBinaryBitMask, 67, 8, 8)
    CARDWRIGHT_FIELD(SerialAddress, 85, 0, 8)
    CARDWRIGHT_FIELD(PlayerControlChannel, 85, 8, 16)
    CARDWRIGHT_FIELD(MidiChannel, 86, 0, 8)
    CARDWRIGHT_FIELD(LevelControlChannelLeft, 86, 8, 16)
    CARDWRIGHT_FIELD(AnimationFirstNote, 87, 0, 8)
    CARDWRIGHT_FIELD(LevelControlChannelRight, 87, 8, 16)
    CARDWRIGHT_FIELD(AnimationInputMaskA, 88, 0, 8)
    CARDWRIGHT_FIELD(FirstAnimationChannel, 88, 8, 16)
    // The option word and its bits.
    CARDWRIGHT_FIELD(OptionWord, 89, 0, 24)
    CARDWRIGHT_FIELD(DmxReception, 89, 0, 1)
    CARDWRIGHT_FIELD(MidiReception, 89, 1, 1)
    CARDWRIGHT_FIELD(NetSerialReception, 89, 2, 1)
    CARDWRIGHT_FIELD(IrRemoteReception, 89, 3, 1)
    CARDWRIGHT_FIELD(AnimationFromFlashFlag, 89, 4, 1)
    CARDWRIGHT_FIELD(RealtimeLevelLeft, 89, 5, 1)
    CARDWRIGHT_FIELD(RealtimeLevelRight, 89, 6, 1)
    CARDWRIGHT_FIELD(OutputsOffFlag, 89, 7, 1)
    CARDWRIGHT_FIELD(DmxChecksumFlag, 89, 8, 1)
    CARDWRIGHT_FIELD(MidiNotesFlag, 89, 9, 1)
    CARDWRIGHT_FIELD(FlashWriteProtectFlag, 89, 10, 1)
    CARDWRIGHT_FIELD(ResetClockFlag, 89, 11, 1)
    CARDWRIGHT_FIELD(NoBlueStartsFlag, 89, 12, 1)
    CARDWRIGHT_FIELD(AnimationInputMaskB, 89, 16, 8)
    CARDWRIGHT_FIELD(PlayerModelWord, 2678, 0, 24)
#undef CARDWRIGHT_FIELD

    // The equaliser gains are 24-bit two's complement.
    int BassGain() const {
        return SignedWord(15);
    }
    void SetBassGain(int gain) {
        SetWord(15, static_cast<std::uint32_t>(gain));
    }
    int TrebleGain() const {
        return SignedWord(17);
    }
    void SetTrebleGain(int gain) {
        SetWord(17, static_cast<std::uint32_t>(gain));
    }

    // Show file names and their 64-bit file stamps.
    std::string ChosenDownloadFile() const {
        return NameAt(4);
    }
    void SetChosenDownloadFile(std::string_view name) {
        SetNameAt(4, name);
    }
    std::string CurrentDownloadFile() const {
        return NameAt(8);
    }
    void SetCurrentDownloadFile(std::string_view name) {
        SetNameAt(8, name);
    }
    std::string SpareFileName() const {
        return NameAt(90);
    }
    void SetSpareFileName(std::string_view name) {
        SetNameAt(90, name);
    }
    std::uint64_t ChosenDownloadStamp() const {
        return StampAt(2679);
    }
    void SetChosenDownloadStamp(std::uint64_t t) {
        SetStampAt(2679, t);
    }
    std::uint64_t CurrentDownloadStamp() const {
        return StampAt(2682);
    }
    void SetCurrentDownloadStamp(std::uint64_t t) {
        SetStampAt(2682, t);
    }

    // Player model: bits 0 (audio only), 1 (/8), 2 (/40), 3 (clock), 5 (two inputs).
    static constexpr std::uint32_t kModelAudioOnly = 1u << 0;
    static constexpr std::uint32_t kModel8 = 1u << 1;
    static constexpr std::uint32_t kModel40 = 1u << 2;
    static constexpr std::uint32_t kModelClock = 1u << 3;
    static constexpr std::uint32_t kModelBit4 = 1u << 4;
    static constexpr std::uint32_t kModelTwoInputs = 1u << 5;
    static std::uint32_t ModelPattern(PlayerModel model);
    // Sets bits 0, 1, 2, 3 and 5 to the model's pattern; other bits stay.
    void SetPlayerModel(PlayerModel model);
    bool IsModel(PlayerModel model) const;  // the Player Type menu's check rule

    // Track records, n = 0 to 255.
    // The same accessor pattern for fields repeated per track and per input:
    // a static ...Field() giving the bit range, a getter and a setter.
#define CARDWRIGHT_TRACK_FIELD(Type, Name, word, shift, width) \
    static BitField Name##Field(int n) {                       \
        return {TrackWord(n) + word, shift, width};            \
    }                                                          \
    Type Name(int n) const {                                   \
        return static_cast<Type>(Get(Name##Field(n)));         \
    }                                                          \
    void Set##Name(int n, Type v) {                            \
        Set(Name##Field(n), static_cast<std::uint32_t>(v));    \
    }

    CARDWRIGHT_TRACK_FIELD(bool, StepOn, 0, 0, 1)
    CARDWRIGHT_TRACK_FIELD(std::uint32_t, EndAction, 0, 1, 9)
    CARDWRIGHT_TRACK_FIELD(std::uint32_t, EndDelay, 0, 10, 14)
    CARDWRIGHT_TRACK_FIELD(bool, WaitForInput, 1, 0, 1)
    CARDWRIGHT_TRACK_FIELD(std::uint32_t, FilePosition, 1, 6, 10)
    CARDWRIGHT_TRACK_FIELD(std::uint32_t, PlaylistSlot, 1, 16, 8)
#undef CARDWRIGHT_TRACK_FIELD
    // Both words of track record n, for moving a track's settings as a whole.
    std::uint32_t TrackRecordWord(int n, int i) const {
        return Word(TrackWord(n) + i);
    }
    void SetTrackRecordWord(int n, int i, std::uint32_t v) {
        SetWord(TrackWord(n) + i, v);
    }

    // Track file names, n = 0 to 255; empty = no track n.
    std::string TrackName(int n) const {
        return NameAt(layout::kTrackNamesWord + 4 * n);
    }
    void SetTrackName(int n, std::string_view name) {
        SetNameAt(layout::kTrackNamesWord + 4 * n, name);
    }
    // A name ends at its first zero byte, so only the first character counts.
    bool TrackExists(int n) const {
        return (Word(layout::kTrackNamesWord + 4 * n) & 0xFF) != 0;
    }

    // Slot n to the cleared form: stop at the end, no delay, may be
    // interrupted, wait for input, no file; the playlist slot value stays.
    void ClearTrack(int n);

    // Playlists p = 0 to 7, entries k = 0 to 31.
    // The number of entries; a stored count above 31 means an empty playlist.
    std::uint32_t PlaylistCount(int p) const {
        const std::uint32_t count = RawPlaylistCount(p);
        return count > static_cast<std::uint32_t>(layout::kPlaylistEntries) ? 0 : count;
    }
    // The count word as stored, for the file converters.
    std::uint32_t RawPlaylistCount(int p) const {
        return Word(PlaylistWord(p));
    }
    void SetPlaylistCount(int p, std::uint32_t count) {
        SetWord(PlaylistWord(p), count);
    }
    std::string PlaylistEntry(int p, int k) const {
        return NameAt(PlaylistWord(p) + 1 + 4 * k);
    }
    void SetPlaylistEntry(int p, int k, std::string_view name) {
        SetNameAt(PlaylistWord(p) + 1 + 4 * k, name);
    }
    static BitField PlaylistRememberField(int p) {
        return {70 + p / 4, 6 * (p % 4) + 5, 1};
    }
    static BitField PlaylistOptionsField(int p) {
        return {70 + p / 4, 6 * (p % 4), 6};
    }
    bool PlaylistRemember(int p) const {
        return Get(PlaylistRememberField(p)) != 0;
    }
    void SetPlaylistRemember(int p, bool on) {
        Set(PlaylistRememberField(p), on ? 1 : 0);
    }
    std::uint32_t PlaylistOptions(int p) const {
        return Get(PlaylistOptionsField(p));
    }

    // Recomputes every playlist slot value from the playlists' entry names.
    void RebuildPlaylistSlots();

    // Input action records: set, input i = 0 to 7.
#define CARDWRIGHT_INPUT_FIELD(Type, Name, word, shift, width) \
    static BitField Name##Field(InputSet s, int i) {           \
        return {InputWord(s, i) + word, shift, width};         \
    }                                                          \
    Type Name(InputSet s, int i) const {                       \
        return static_cast<Type>(Get(Name##Field(s, i)));      \
    }                                                          \
    void Set##Name(InputSet s, int i, Type v) {                \
        Set(Name##Field(s, i), static_cast<std::uint32_t>(v)); \
    }

    CARDWRIGHT_INPUT_FIELD(std::uint32_t, CloseCode, 0, 0, 9)
    CARDWRIGHT_INPUT_FIELD(bool, ClosePlaylist, 0, 9, 1)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, CloseDelay, 0, 10, 14)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, OpenCode, 1, 0, 9)
    CARDWRIGHT_INPUT_FIELD(bool, OpenPlaylist, 1, 9, 1)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, OpenDelay, 1, 10, 14)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, InputMode, 2, 0, 4)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, CloseFade, 2, 4, 3)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, CloseFadeTime, 2, 7, 7)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, OpenFade, 2, 14, 3)
    CARDWRIGHT_INPUT_FIELD(std::uint32_t, OpenFadeTime, 2, 17, 7)
#undef CARDWRIGHT_INPUT_FIELD
    // The three raw words of an input record, for the converters.
    std::uint32_t InputRecordWord(InputSet s, int i, int k) const {
        return Word(InputWord(s, i) + k);
    }

    // Every input of the set unused, code 0, no fade.
    void ClearInputSet(InputSet set);
    // The input defaults for a card holding `trackCount` audio files.
    void ApplyInputDefaults(InputSet set, int trackCount);

    static constexpr int TrackWord(int n) {
        return layout::kTrackRecordsWord + 2 * n;
    }
    static constexpr int PlaylistWord(int p) {
        return layout::kPlaylistsWord + layout::kPlaylistBlockWords * p;
    }
    static constexpr int InputWord(InputSet s, int i) {
        return (s == InputSet::Player ? layout::kInputActionsWord
                                      : layout::kAnimationInputActionsWord) +
               3 * i;
    }

  private:
    int SignedWord(int w) const;
    std::string NameAt(int w) const {
        return UnpackName(&words_[static_cast<std::size_t>(w)]);
    }
    void SetNameAt(int w, std::string_view name) {
        PackName(name, &words_[static_cast<std::size_t>(w)]);
    }
    std::uint64_t StampAt(int w) const;
    void SetStampAt(int w, std::uint64_t t);
    // Writes one input record in the form used by the clear and default rules.
    void SetInputRecord(InputSet set, int input, std::uint32_t code, std::uint32_t mode,
                        std::uint32_t closeFade);

    std::array<std::uint32_t, layout::kWordCount> words_;
};
