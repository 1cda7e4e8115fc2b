#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "model/ConfigFields.h"

// The player's configuration record: 2934 words of 24 bits, each held in the
// low 24 bits of a 32-bit slot. It is the image of TUNBOX.CFG (word w at file
// offset 3*w). Every field lives inside one word; model/ConfigFields.h says
// where, and Get and Set below are the only way in.

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

// Whether a track may end with `code`: go on to a track, stop, or one of the
// choices the Track page offers. Anything else is a code no page can set.
constexpr bool IsEndAction(std::uint32_t code) {
    return (code >= 1 && code <= static_cast<std::uint32_t>(layout::kMaxTrack)) ||
           code == kStopNow || (code >= kNextHigher && code <= kRandom);
}
}  // namespace playcode

// Packs up to 12 characters of `text` into four words, three to a word.
void PackName(std::string_view text, std::uint32_t* words);
// The text of a name field held in place, for scans that look at every
// track and need no string of their own.
struct NameText {
    char text[layout::kNameLength];
    std::size_t size = 0;
    std::string_view View() const { return {text, size}; }
};
// Reads the 12 bytes of four words, ending the text at the first zero byte.
NameText UnpackNameText(const std::uint32_t* words);
inline std::string UnpackName(const std::uint32_t* words) {
    return std::string(UnpackNameText(words).View());
}

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

    // Reads and writes a named field. A value that does not fit its field is
    // a mistake in the caller, not something to cut down quietly.
    template <typename T>
    T Get(const Field<T>& f) const {
        const std::uint32_t bits = (Word(f.word) >> f.shift) & Mask(f.width);
        if constexpr (std::is_same_v<T, bool>) {
            return bits != 0;
        } else if constexpr (std::is_signed_v<T>) {
            const std::uint32_t sign = 1u << (f.width - 1);
            return static_cast<T>(static_cast<std::int32_t>(bits ^ sign) -
                                  static_cast<std::int32_t>(sign));
        } else {
            return static_cast<T>(bits);
        }
    }
    template <typename T>
    void Set(const Field<T>& f, std::type_identity_t<T> value) {
        assert(Fits(f, value));
        const std::uint32_t mask = Mask(f.width) << f.shift;
        const auto bits = static_cast<std::uint32_t>(value);
        SetWord(f.word, (Word(f.word) & ~mask) | ((bits << f.shift) & mask));
    }
    template <typename T>
    void ResetToDefault(const Field<T>& f) {
        Set(f, f.fallback);
    }
    template <typename T>
    static bool Fits(const Field<T>& f, T value) {
        if constexpr (std::is_signed_v<T>) {
            const std::int64_t half = std::int64_t{1} << (f.width - 1);
            return value >= -half && value < half;
        } else {
            return static_cast<std::uint64_t>(value) <= Mask(f.width);
        }
    }

    template <typename T>
    T Get(const TrackField<T>& f, int n) const {
        return Get(f.For(n));
    }
    template <typename T>
    void Set(const TrackField<T>& f, int n, std::type_identity_t<T> value) {
        Set(f.For(n), value);
    }
    template <typename T>
    T Get(const InputField<T>& f, InputSet s, int i) const {
        return Get(f.For(s, i));
    }
    template <typename T>
    void Set(const InputField<T>& f, InputSet s, int i, std::type_identity_t<T> value) {
        Set(f.For(s, i), value);
    }
    template <typename T>
    T Get(const PlaylistField<T>& f, int p) const {
        return Get(f.For(p));
    }
    template <typename T>
    void Set(const PlaylistField<T>& f, int p, std::type_identity_t<T> value) {
        Set(f.For(p), value);
    }
    std::string Get(NameField f) const { return UnpackName(&words_[Index(f.word)]); }
    void Set(NameField f, std::string_view name) { PackName(name, &words_[Index(f.word)]); }
    std::uint64_t Get(StampField f) const;
    void Set(StampField f, std::uint64_t t);

    // Sets every field to the value a new document has.
    void SetDefaults();

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
    // What the model word says the player has.
    bool IsAudioOnly() const { return (Get(field::kPlayerModelWord) & kModelAudioOnly) != 0; }
    bool HasAnimation() const { return !IsAudioOnly(); }
    bool HasClock() const { return (Get(field::kPlayerModelWord) & kModelClock) != 0; }
    int InputCount() const {
        return (Get(field::kPlayerModelWord) & kModelTwoInputs) != 0 ? 2 : layout::kInputCount;
    }

    // Edit > Reset Everything to Defaults, for this model and a card holding
    // `trackCount` audio files: the levels, channels, equaliser, options and
    // the model's input table. Tracks, playlists and the power-up track stay.
    void ResetEverythingToDefaults(int trackCount);

    // Both words of track record n, for moving a track's settings as a whole.
    std::uint32_t TrackRecordWord(int n, int i) const { return Word(layout::TrackWord(n) + i); }
    void SetTrackRecordWord(int n, int i, std::uint32_t v) { SetWord(layout::TrackWord(n) + i, v); }

    // Tracks a and b trade their files and settings; the numbers stay.
    void SwapTracks(int a, int b);

    // Track file names, n = 0 to 255; empty = no track n.
    std::string TrackName(int n) const { return Get(NameField{layout::kTrackNamesWord + 4 * n}); }
    NameText TrackNameText(int n) const {
        return UnpackNameText(&words_[Index(layout::kTrackNamesWord + 4 * n)]);
    }
    void SetTrackName(int n, std::string_view name) {
        Set(NameField{layout::kTrackNamesWord + 4 * n}, name);
    }
    // A name ends at its first zero byte, so only the first character counts.
    bool TrackExists(int n) const { return (Word(layout::kTrackNamesWord + 4 * n) & 0xFF) != 0; }

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
    std::uint32_t RawPlaylistCount(int p) const { return Word(layout::PlaylistWord(p)); }
    void SetPlaylistCount(int p, std::uint32_t count) { SetWord(layout::PlaylistWord(p), count); }
    std::string PlaylistEntry(int p, int k) const {
        return Get(NameField{layout::PlaylistWord(p) + 1 + 4 * k});
    }
    void SetPlaylistEntry(int p, int k, std::string_view name) {
        Set(NameField{layout::PlaylistWord(p) + 1 + 4 * k}, name);
    }
    // Empties the given entries of playlist p and closes the gaps, keeping
    // the others in their order.
    void RemovePlaylistEntries(int p, const std::vector<int>& rows);
    // Moves the given entries (in ascending order) one place up (step -1) or
    // down (+1) as a block; false, with nothing moved, when the block is
    // against that end.
    bool MovePlaylistEntries(int p, const std::vector<int>& rows, int step);

    // Recomputes every playlist slot value from the playlists' entry names.
    void RebuildPlaylistSlots();

    // The three raw words of an input record, for the converters.
    std::uint32_t InputRecordWord(InputSet s, int i, int k) const {
        return Word(layout::InputWord(s, i) + k);
    }

    // Every input of the set unused, code 0, no fade.
    void ClearInputSet(InputSet set);
    // The input defaults for a card holding `trackCount` audio files.
    void ApplyInputDefaults(InputSet set, int trackCount);

  private:
    void ResetCommonDefaults(InputSet set, int trackCount);
    void SwapPlaylistEntries(int p, int k);
    static constexpr std::uint32_t Mask(int width) {
        return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1;
    }
    static std::size_t Index(int w) {
        assert(w >= 0 && w + 3 < layout::kWordCount);
        return static_cast<std::size_t>(w);
    }
    // Writes one input record in the form used by the clear and default rules.
    void SetInputRecord(InputSet set, int input, std::uint32_t code, std::uint32_t mode,
                        std::uint32_t closeFade);

    std::array<std::uint32_t, layout::kWordCount> words_;
};
