#pragma once

#include <cstdint>

// One side (close or open) of an input action as the record stores it: the
// 9-bit code, its playlist flag and delay, and the fade code and time. Delays
// and fade times are in tenths of a second.
struct StoredAction {
    std::uint32_t code = 0;
    bool playlist = false;
    std::uint32_t delay = 0;
    std::uint32_t fade = 0;  // 0 none, 1 to zero, 2 to 'Half Mute', 3 to full
    std::uint32_t fadeTime = 0;
    bool operator==(const StoredAction&) const = default;
};

// One side of an input action as the Input page shows it. The enumerators
// are the indices of the page's radio group and lists, in their order there.
struct InputAction {
    enum class Kind { Start, Stop, PauseResume, Nothing };
    // The four fixed entries of the track choice list, then a track number
    // (all tracks) or a position (a playlist). Unchosen is a list with no
    // entry selected after its scope changed; it starts whatever is next.
    enum class Choice { Next, NextHigher, SameAgain, Random, Numbered, Unchosen };
    enum class StopWhen { Now, AtEnd };
    enum class Fade { None, ToFull, ToZero, ToHalfMute };

    static constexpr int kAllTracks = 0;  // scope; 1 to 8 is that playlist
    static constexpr int kFixedChoices = 4;

    Kind kind = Kind::Nothing;
    Choice choice = Choice::Next;
    int number = 0;  // for Choice::Numbered
    int scope = kAllTracks;
    StopWhen stop = StopWhen::Now;
    int delay = 0;
    Fade fade = Fade::None;
    int fadeTime = 0;

    // Encode(Decode(s)) gives s back for every action the page can show,
    // including a track or position the card no longer has. A code that
    // names no action reads as Nothing.
    static InputAction Decode(const StoredAction& stored);
    // Pause or resume stores no delay; only a start keeps the playlist flag.
    // A number its scope cannot hold (a playlist has 31 positions) starts
    // whatever is next.
    StoredAction Encode() const;

    bool IsStart() const { return kind == Kind::Start; }
    // The index in the track choice list: 0 to 3 for the fixed entries,
    // 3 + n for track or position n; -1 (no selection) unless a start.
    int ChoiceIndex() const;
    // Takes the index selected in the track choice list. No selection (-1)
    // keeps the choice held, so a number missing from the list survives.
    void SelectChoice(int index);
    // The scope becomes `scope`, whose list offers `offered` numbered
    // entries, while `shownIndex` was selected in the old list. The same
    // index stays chosen where the new list has it; otherwise nothing is
    // chosen. A number left from the old scope would name another track or
    // position than the one the user saw, so it is never carried over.
    void ChangeScope(int scope, int shownIndex, int offered);

    bool operator==(const InputAction&) const = default;
};
