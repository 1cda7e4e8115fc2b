#pragma once

#include <sndfile.h>

#include <algorithm>
#include <functional>

#include "ScriptedPrompter.h"
#include "TestSupport.h"
#include "doctor/Card.h"
#include "model/CardwrightDoc.h"
#include "model/ConfigFile.h"
#include "model/KeldaFile.h"

namespace fs = std::filesystem;

// A WAV file of a short tone in the given encoding, written by libsndfile.
inline void WriteWav(const fs::path& path, int channels = 1, int encoding = SF_FORMAT_PCM_16) {
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | encoding;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<short> samples(static_cast<std::size_t>(2205 * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<short>(static_cast<int>(i * 37 % 2000) - 1000);
    }
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

// MPEG-1 layer III frames of silence at 128 kbit/s and 44.1 kHz: a header
// and a body of zeros, 417 bytes each (0xFD, 0x80: layer II at 128 kbit/s).
inline constexpr std::size_t kMp3Frame = 417;
inline Bytes Mp3Frames(int count, std::uint8_t layerBits = 0xFB, std::uint8_t rateBits = 0x90) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        Bytes frame(kMp3Frame, 0);
        frame[0] = 0xFF;
        frame[1] = layerBits;
        frame[2] = rateBits;
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

// Lists in name order, so a test knows where a new file goes, and as a FAT
// card would: the aliases read, not generated (unless `fat` is false).
inline DirectoryLister CardLister(bool fat = true) {
    return [fat](const fs::path& dir, std::error_code& ec) {
        auto entries = platform::ListDirectory(dir, ec, platform::ListDetail::KindOnly);
        for (auto& e : entries) {
            e.aliasGenerated = !fat;
        }
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.longName < b.longName; });
        return entries;
    };
}

// A clean TUNBOX/C40 card saved through the document: tracks 1 to 3 are a
// mono WAV, an MP3 and a stereo WAV (ONE.WAV, THREE.MP3, TWO.WAV), and schedule 1 plays track 1 on
// 1 January. `lister` sets the order of the files, for the document and so the tracks.
class TestCard {
  public:
    explicit TestCard(DirectoryLister lister = CardLister()) : lister_(std::move(lister)) {
        fs::create_directories(Sounds());
        WriteWav(Sounds() / "ONE.WAV", 1);
        WriteWav(Sounds() / "TWO.WAV", 2);
        WriteBytes(Sounds() / "THREE.MP3", Mp3Frames(20));
        Save([](CCardwrightDoc& doc) {
            doc.CountTracks(true);
            doc.GetConfig()->SetPlayerModel(PlayerModel::TunboxC40);
            doc.Schedules().AddScheduleEntry(1, ScheduleSet::MakeEntry(8, 0, true, 1));
            doc.Schedules().SetDaySchedule(0, 0, 1);
        });
    }

    fs::path Dir() const { return dir_.path(); }
    fs::path Cfg() const { return dir_ / "TUNBOX.CFG"; }
    fs::path Sounds() const { return dir_ / "SOUNDS"; }

    // Opens the card in the document, lets `change` work on it, saves it.
    void Save(const std::function<void(CCardwrightDoc&)>& change) {
        const fs::path cwd = fs::current_path();
        ScriptedPrompter prompter;
        CCardwrightDoc doc(prompter);
        doc.SetExecutablePath(dir_ / "Cardwright.exe");  // as if run from the card: no copy
        doc.SetDirectoryLister(lister_);
        if (!fs::exists(Cfg()) || !doc.OnOpenDocument(Cfg())) {
            doc.OnNewDocument();
            doc.SetPathName(Cfg());
        }
        change(doc);
        doc.OnSaveDocument(Cfg());
        fs::current_path(cwd);
    }

    // Changes the configuration and schedule files in place, as another
    // program would, leaving every other file as it is.
    void Edit(const std::function<void(CardConfig&, ScheduleSet&)>& change) {
        auto read = card::ReadCard({Dir(), Cfg()});
        card::Image& s = read->image;
        change(s.config, s.schedules);
        WriteBytes(Cfg(), configfile::Encode(s.config));
        WriteBytes(dir_ / "KELDA.CFG", keldafile::Encode(s.config));
        WriteBytes(
            dir_ / "SCHEDULE.SCH",
            s.schedules.Serialize(static_cast<std::uint8_t>(s.config.Get(field::kSerialAddress))));
    }

  private:
    TempDir dir_;
    DirectoryLister lister_;
};
