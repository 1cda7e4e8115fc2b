// Writes a demonstration card into a folder: a TUNBOX/C40 configuration with
// ten short tones in SOUNDS, two playlists, a show file and a few scheduled
// days, all saved through the document so the card files are exactly what
// the program itself writes.
//
//   cardwright-demo-card [--program PATH] FOLDER
//
// PATH is the program to copy onto the card beside the configuration.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "model/CardwrightDoc.h"
#include "model/InputTable.h"
#include "platform/Directory.h"

namespace fs = std::filesystem;

namespace {

// Answers every question with its first button and reports every message.
class ConsolePrompter : public Prompter {
  public:
    Answer Ask(const std::string& text, Buttons buttons, Icon) override {
        std::cerr << "cardwright-demo-card: " << text << "\n";
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes
                                                                            : Answer::Ok;
    }
};

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// A mono 16-bit PCM WAV file holding a short tone that fades out.
bool WriteTone(const fs::path& path, double frequency, double seconds) {
    constexpr std::uint32_t kRate = 22050;
    const auto samples = static_cast<std::uint32_t>(kRate * seconds);
    const std::uint32_t dataBytes = samples * 2;
    std::vector<std::uint8_t> wav;
    wav.reserve(44 + dataBytes);
    for (char c : std::string("RIFF"))
        wav.push_back(static_cast<std::uint8_t>(c));
    PutLe(wav, 36 + dataBytes, 4);
    for (char c : std::string("WAVEfmt "))
        wav.push_back(static_cast<std::uint8_t>(c));
    PutLe(wav, 16, 4);         // format chunk size
    PutLe(wav, 1, 2);          // PCM
    PutLe(wav, 1, 2);          // mono
    PutLe(wav, kRate, 4);      // sample rate
    PutLe(wav, kRate * 2, 4);  // byte rate
    PutLe(wav, 2, 2);          // block align
    PutLe(wav, 16, 2);         // bits per sample
    for (char c : std::string("data"))
        wav.push_back(static_cast<std::uint8_t>(c));
    PutLe(wav, dataBytes, 4);
    constexpr double kTwoPi = 6.283185307179586;
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double envelope = 1.0 - static_cast<double>(i) / samples;
        const double value = 12000.0 * envelope * std::sin(kTwoPi * frequency * t);
        PutLe(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(value)), 2);
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    return static_cast<bool>(file);
}

struct Tone {
    const char* name;
    double frequency;
};

constexpr Tone kTones[] = {
    {"Welcome to the Lighthouse.wav", 262.0}, {"Foghorn in the Harbour.wav", 294.0},
    {"Ghost Ship Passing By.wav", 330.0},     {"Keeper's Evening Story.wav", 349.0},
    {"Storm Over the Rocks.wav", 392.0},      {"Seagulls at Sunrise.wav", 440.0},
    {"Lantern Room Music Box.wav", 494.0},    {"Shipwreck Bell Ringing.wav", 523.0},
    {"Tide Coming In Slowly.wav", 587.0},     {"Goodnight and Safe Harbour.wav", 659.0},
};

int Fail(const std::string& what) {
    std::cerr << "cardwright-demo-card: " << what << "\n";
    return 1;
}

constexpr const char* kUsage = "usage: cardwright-demo-card [--program PATH] FOLDER";
constexpr const char* kShowFile = "SHOW1.A01";

struct Options {
    fs::path program;
    fs::path folder;
};

std::optional<Options> ParseArguments(int argc, char* argv[]) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc) {
            options.program = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && options.folder.empty()) {
            options.folder = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.folder.empty()) {
        return std::nullopt;
    }
    return options;
}

// The tones in SOUNDS and the show file in the root; what went wrong, or
// nothing.
std::string WriteMediaFiles(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder / "SOUNDS", ec);
    if (ec) {
        return "cannot create " + (folder / "SOUNDS").string() + ": " + ec.message();
    }
    for (const Tone& tone : kTones) {
        if (!WriteTone(folder / "SOUNDS" / tone.name, tone.frequency, 1.5)) {
            return "cannot write " + (folder / "SOUNDS" / tone.name).string();
        }
    }
    // The player only lists show files and records the chosen one; any bytes
    // will do for a demonstration.
    const fs::path show = folder / kShowFile;
    std::ofstream file(show, std::ios::binary);
    file << "Lighthouse animation show for the demonstration card\n";
    if (!file) {
        return "cannot write " + show.string();
    }
    return {};
}

void SetModelAndAudio(CardConfig& c, int tracks) {
    c.SetPlayerModel(PlayerModel::TunboxC40);
    c.ClearInputSet(InputSet::Player);
    c.ApplyInputDefaults(InputSet::Animation, tracks);
    c.Set(field::kPlayerControlChannel, 5);
    c.Set(field::kLevelControlChannelLeft, 6);
    c.Set(field::kLevelControlChannelRight, 7);
    // Levels and tone a little away from the defaults, and the left level
    // taken in real time from DMX channel 6.
    c.Set(field::kMainVolumeLeft, 52);
    c.Set(field::kMainVolumeRight, 48);
    c.Set(field::kHalfMuteVolumeLeft, 20);
    c.Set(field::kHalfMuteVolumeRight, 20);
    c.Set(field::kBassGain, -3);
    c.Set(field::kTrebleGain, 4);
    c.Set(field::kTrebleCornerFrequency, 12000);
    c.Set(field::kDmxReception, true);
    c.Set(field::kRealtimeLevelLeft, true);
}

// Each tone's track number, in the order of kTones.
using TrackNumbers = std::array<int, std::size(kTones)>;

// Tracks are numbered in directory order; find each tone's number by its
// long name so the settings follow the tones, whatever that order. What went
// wrong, or nothing.
std::string FindTracks(CCardwrightDoc& doc, int tracks, TrackNumbers& trackOf) {
    const CardConfig& c = *doc.GetConfig();
    trackOf.fill(0);
    for (int n = 1; n <= tracks; ++n) {
        const std::string name = doc.GetLongTrackName(c.TrackName(n));
        for (std::size_t i = 0; i < std::size(kTones); ++i) {
            if (fs::path(name).filename() == kTones[i].name) {
                trackOf[i] = n;
            }
        }
    }
    for (std::size_t i = 0; i < std::size(kTones); ++i) {
        if (trackOf[i] == 0) {
            return std::string("no track for ") + kTones[i].name;
        }
    }
    return {};
}

void SetTracksAndPlaylists(CCardwrightDoc& doc, const TrackNumbers& trackOf) {
    CardConfig& c = *doc.GetConfig();
    // The story tones run on into each other; the seagulls pick at random.
    c.Set(field::kPowerUpTrack, static_cast<std::uint32_t>(trackOf[0]));
    for (int i = 0; i < 4; ++i) {
        c.Set(field::kEndAction, trackOf[i], static_cast<std::uint32_t>(trackOf[i + 1]));
        c.Set(field::kEndDelay, trackOf[i], 20);
        c.Set(field::kWaitForInput, trackOf[i], false);
    }
    c.Set(field::kEndAction, trackOf[5], playcode::kRandom);
    c.Set(field::kEndDelay, trackOf[5], 50);
    c.Set(field::kWaitForInput, trackOf[5], false);

    // Playlist 1 tells the story in order; playlist 2 plays the sea sounds.
    const int story[] = {0, 1, 2, 3, 4};
    const int sea[] = {5, 8, 1, 7};
    for (int k = 0; k < 5; ++k) {
        c.SetPlaylistEntry(0, k, c.TrackName(trackOf[story[k]]));
    }
    c.SetPlaylistCount(0, 5);
    for (int k = 0; k < 4; ++k) {
        c.SetPlaylistEntry(1, k, c.TrackName(trackOf[sea[k]]));
    }
    c.SetPlaylistCount(1, 4);
    c.Set(field::kPlaylistRemember, 1, true);
    doc.RebuildPlaylistSlots();
}

void ChooseShow(CardConfig& c, const fs::path& folder) {
    c.Set(field::kChosenDownloadFile, kShowFile);
    c.Set(field::kNextBootFlag, 1);
    std::error_code ec;
    const auto showTime = fs::last_write_time(folder / kShowFile, ec);
    if (!ec) {
        c.Set(field::kChosenDownloadStamp, platform::CardFileTime(showTime));
    }
}

void SetSchedules(ScheduleSet& s, CardConfig& c, const TrackNumbers& trackOf) {
    // Opening hours on weekends and two special days.
    s.AddScheduleEntry(1, ScheduleSet::MakeEntry(10, 0, true, trackOf[0]));
    s.AddScheduleEntry(1, ScheduleSet::MakeEntry(12, 30, true, trackOf[6]));
    s.AddScheduleEntry(1, ScheduleSet::MakeEntry(17, 0, true, trackOf[9]));
    s.AddScheduleEntry(2, ScheduleSet::MakeEntry(19, 0, false, 0));
    s.AddScheduleEntry(2, ScheduleSet::MakeEntry(21, 45, true, trackOf[9]));
    for (int month = 0; month < 12; ++month) {
        s.SetWeekdaySchedule(month, 6, 1);  // Saturdays
    }
    s.SetDaySchedule(9, 30, 2);   // 31 October
    s.SetDaySchedule(11, 24, 2);  // 25 December
    s.SetDaySchedule(6, 3, 1);    // 4 July
    // A summer programme every day from 20 July to the end of August, and a
    // morning track on the first of each month.
    s.AddScheduleEntry(3, ScheduleSet::MakeEntry(11, 0, false, 1));
    s.AddScheduleEntry(3, ScheduleSet::MakeEntry(15, 0, false, 2));
    s.AddScheduleEntry(4, ScheduleSet::MakeEntry(9, 15, true, trackOf[1]));
    for (int day = 19; day < 31; ++day) {
        s.SetDaySchedule(6, day, 3);
        s.SetDaySchedule(7, day, 3);
    }
    for (int day = 0; day < 19; ++day) {
        s.SetDaySchedule(7, day, 3);
    }
    for (int month = 0; month < 12; ++month) {
        s.SetDaySchedule(month, 0, 4);
    }
    s.SetResetTime(0x03, 0x05, 0x01);
    c.Set(field::kResetClockFlag, 1);
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::optional<Options> options = ParseArguments(argc, argv);
    if (!options) {
        return Fail(kUsage);
    }
    std::error_code ec;
    const fs::path folder = fs::absolute(options->folder, ec);
    if (const std::string why = WriteMediaFiles(folder); !why.empty()) {
        return Fail(why);
    }

    ConsolePrompter prompter;
    CCardwrightDoc doc(prompter);
    if (!options->program.empty()) {
        doc.SetExecutablePath(fs::absolute(options->program, ec));
    }
    doc.OnNewDocument();
    doc.SetPathName(folder / "TUNBOX.CFG");
    const int tracks = doc.CountTracks(true);
    if (tracks != 10) {
        return Fail("expected 10 tracks in SOUNDS, found " + std::to_string(tracks));
    }

    CardConfig& c = *doc.GetConfig();
    SetModelAndAudio(c, tracks);
    TrackNumbers trackOf;
    if (const std::string why = FindTracks(doc, tracks, trackOf); !why.empty()) {
        return Fail(why);
    }
    SetTracksAndPlaylists(doc, trackOf);
    ChooseShow(c, folder);
    SetSchedules(doc.Schedules(), c, trackOf);
    // The masks the player reads instead of searching the input tables, as
    // the input pages work them out.
    inputs::RecomputeBinaryMasks(c);
    inputs::RecomputeAnimationInputMasks(c);

    if (!doc.OnSaveDocument(folder / "TUNBOX.CFG")) {
        return Fail("saving " + (folder / "TUNBOX.CFG").string() + " failed");
    }
    std::cout << (folder / "TUNBOX.CFG").string() << "\n";
    return 0;
}
