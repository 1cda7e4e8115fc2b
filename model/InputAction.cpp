#include "model/InputAction.h"

#include <array>

#include "model/CardConfig.h"

namespace {

constexpr std::uint32_t kCodeMask = 0x1FF;
constexpr std::uint32_t kPlaylistBits = 0xE0;  // playlist P - 1 in bits 5 to 7
constexpr int kPlaylistStride = 32;

// Stored fade code by list index, and list index by stored fade code.
constexpr std::array<std::uint32_t, 4> kFadeCodes{0, 3, 1, 2};
constexpr std::array<InputAction::Fade, 4> kFadeOfCode{
    InputAction::Fade::None, InputAction::Fade::ToZero, InputAction::Fade::ToHalfMute,
    InputAction::Fade::ToFull};

int HighestNumber(int scope) {
    return scope == InputAction::kAllTracks ? layout::kMaxTrack : layout::kPlaylistEntries;
}

}  // namespace

InputAction InputAction::Decode(const StoredAction& stored) {
    using namespace playcode;
    InputAction a;
    std::uint32_t code = stored.code & kCodeMask;
    if (stored.playlist) {
        a.scope = static_cast<int>((code & kPlaylistBits) >> 5) + 1;
        code &= ~kPlaylistBits;
    }
    a.delay = static_cast<int>(stored.delay);
    a.fadeTime = static_cast<int>(stored.fadeTime);
    a.fade = stored.fade < kFadeOfCode.size() ? kFadeOfCode[stored.fade] : Fade::None;
    if (code >= kNext && code <= kRandom) {
        a.kind = Kind::Start;
        a.choice = static_cast<Choice>(code - kNext);
    } else if (code >= 1 && code <= static_cast<std::uint32_t>(layout::kMaxTrack)) {
        a.kind = Kind::Start;
        a.choice = Choice::Numbered;
        a.number = static_cast<int>(code);
    } else if (code == kStopNow || code == kStopAtEnd) {
        a.kind = Kind::Stop;
        a.stop = code == kStopAtEnd ? StopWhen::AtEnd : StopWhen::Now;
    } else if (code == kPauseResume) {
        a.kind = Kind::PauseResume;
    }
    return a;
}

StoredAction InputAction::Encode() const {
    using namespace playcode;
    StoredAction s;
    s.delay = static_cast<std::uint32_t>(delay);
    s.fade = kFadeCodes[static_cast<std::size_t>(fade)];
    s.fadeTime = static_cast<std::uint32_t>(fadeTime);
    switch (kind) {
        case Kind::Start: {
            const bool inPlaylist = scope >= 1 && scope <= layout::kPlaylistCount;
            const int highest = HighestNumber(inPlaylist ? scope : kAllTracks);
            if (choice == Choice::Unchosen) {
                s.code = kNext;
            } else if (choice != Choice::Numbered) {
                s.code = kNext + static_cast<std::uint32_t>(choice);
            } else {
                s.code =
                    number >= 1 && number <= highest ? static_cast<std::uint32_t>(number) : kNext;
            }
            if (inPlaylist) {
                s.code += static_cast<std::uint32_t>(kPlaylistStride * (scope - 1));
                s.playlist = true;
            }
            break;
        }
        case Kind::Stop:
            s.code = stop == StopWhen::AtEnd ? kStopAtEnd : kStopNow;
            break;
        case Kind::PauseResume:
            s.code = kPauseResume;
            s.delay = 0;
            break;
        case Kind::Nothing:
            s.code = kNothing;
            break;
    }
    return s;
}

int InputAction::ChoiceIndex() const {
    if (kind != Kind::Start || choice == Choice::Unchosen) {
        return -1;
    }
    return choice == Choice::Numbered ? kFixedChoices - 1 + number : static_cast<int>(choice);
}

void InputAction::SelectChoice(int index) {
    if (index < 0) {
        return;
    }
    if (index < kFixedChoices) {
        choice = static_cast<Choice>(index);
    } else {
        choice = Choice::Numbered;
        number = index - (kFixedChoices - 1);
    }
}

void InputAction::ChangeScope(int newScope, int shownIndex, int offered) {
    scope = newScope;
    if (shownIndex >= 0 && shownIndex < kFixedChoices + offered) {
        SelectChoice(shownIndex);
    } else {
        choice = Choice::Unchosen;
        number = 0;
    }
}
