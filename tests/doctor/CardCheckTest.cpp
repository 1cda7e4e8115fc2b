#include <gtest/gtest.h>

#include "TestCard.h"
#include "doctor/AudioCheck.h"
#include "doctor/CardCheck.h"
#include "media/Probe.h"

namespace {

using doctor::Severity;

doctor::CheckOptions OnCard() {
    doctor::CheckOptions options;
    options.lister = CardLister();
    return options;
}

std::string Describe(const doctor::CheckResult& r) {
    std::string out;
    for (const auto& f : r.findings) {
        out += f.id + " " + f.file + ": " + f.problem + "\n";
    }
    return out;
}

struct Fault {
    const char* id;
    Severity severity;
    int blink;
    const char* file;
    std::function<void(TestCard&)> make;
    std::function<void(doctor::CheckOptions&)> options = [](doctor::CheckOptions&) {};
};

void SetOnCard(TestCard& card, const std::function<void(CardConfig&)>& change) {
    card.Edit([&](CardConfig& c, ScheduleSet&) { change(c); });
}

TEST(CardCheck, EachFaultIsFoundAloneAndACleanCardHasNone) {
    {
        TestCard card;
        const auto result = doctor::CheckCard(card.Dir(), OnCard());
        EXPECT_TRUE(result.findings.empty()) << Describe(result);
        EXPECT_EQ(doctor::ExitStatus(result.findings), 0);
    }
    const auto noTracks = [](TestCard& card) {
        SetOnCard(card, [](CardConfig& c) {
            for (int n = 1; n <= 3; ++n) {
                c.ClearTrack(n);
            }
        });
        card.Edit([](CardConfig&, ScheduleSet& s) { s.Clear(); });
    };
    const Fault faults[] = {
        {"config-missing", Severity::Error, 4, "TUNBOX.CFG",
         [](TestCard& card) { fs::remove(card.Cfg()); }},
        {"config-size", Severity::Error, 7, "TUNBOX.CFG",
         [](TestCard& card) { fs::resize_file(card.Cfg(), 8801); }},
        {"config-version", Severity::Error, 6, "TUNBOX.CFG",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) { c.Set(field::kConfigVersion, 39); });
         }},
        {"schedule-bad", Severity::Error, 5, "SCHEDULE.SCH",
         [](TestCard& card) {
             Bytes b = ReadBytes(card.Dir() / "SCHEDULE.SCH");
             b[20] ^= 1;
             WriteBytes(card.Dir() / "SCHEDULE.SCH", b);
         }},
        {"wav-format", Severity::Error, 0, "SOUNDS/ONE.WAV",
         [](TestCard& card) { WriteWav(card.Sounds() / "ONE.WAV", 1, SF_FORMAT_PCM_24); }},
        {"wav-format", Severity::Error, 0, "SOUNDS/TWO.WAV",
         [](TestCard& card) { WriteWav(card.Sounds() / "TWO.WAV", 3); }},
        {"truncated-wav", Severity::Error, 0, "SOUNDS/TWO.WAV",
         [](TestCard& card) {
             fs::resize_file(card.Sounds() / "TWO.WAV",
                             fs::file_size(card.Sounds() / "TWO.WAV") - 9);
         }},
        {"mp3-damaged", Severity::Error, 0, "SOUNDS/THREE.MP3",
         [](TestCard& card) {
             Bytes b = Mp3Frames(20);
             b.insert(b.begin() + 5 * kMp3Frame, 40, 0x11);
             WriteBytes(card.Sounds() / "THREE.MP3", b);
         }},
        {"mp3-damaged", Severity::Error, 0, "SOUNDS/THREE.MP3",
         [](TestCard& card) {
             // Sparse: two gigabytes of zeros after the frames, walked no further.
             fs::resize_file(card.Sounds() / "THREE.MP3", std::uintmax_t{2} << 30);
         }},
        {"mp3-truncated", Severity::Error, 0, "SOUNDS/THREE.MP3",
         [](TestCard& card) {
             fs::resize_file(card.Sounds() / "THREE.MP3", 19 * kMp3Frame + 100);
         }},
        {"mp3-layer", Severity::Error, 0, "SOUNDS/THREE.MP3",
         [](TestCard& card) {
             WriteBytes(card.Sounds() / "THREE.MP3", Mp3Frames(20, 0xFD, 0x80));
         }},
        {"empty-file", Severity::Error, 0, "SOUNDS/THREE.MP3",
         [](TestCard& card) { fs::resize_file(card.Sounds() / "THREE.MP3", 0); }},
        {"content-mismatch", Severity::Error, 0, "SOUNDS/ONE.WAV",
         [](TestCard& card) { WriteBytes(card.Sounds() / "ONE.WAV", Mp3Frames(200)); }},
        {"content-mismatch", Severity::Error, 0, "SOUNDS/THREE.MP3",
         [](TestCard& card) { WriteWav(card.Sounds() / "THREE.MP3"); }},
        {"track-missing", Severity::Error, 0, "SOUNDS/TWO.WAV",
         [](TestCard& card) { fs::remove(card.Sounds() / "TWO.WAV"); }},
        {"file-without-track", Severity::Warning, 0, "SOUNDS/ZZZ.WAV",
         [](TestCard& card) { WriteWav(card.Sounds() / "ZZZ.WAV"); }},
        {"track-moved", Severity::Warning, 0, "SOUNDS/ONE.WAV",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) { c.Set(field::kFilePosition, 1, 9); });
         }},
        {"too-many-files", Severity::Warning, 0, "SOUNDS",
         [](TestCard& card) {
             for (int i = 0; i < 253; ++i) {
                 WriteBytes(card.Sounds() / ("F" + std::to_string(i) + ".MP3"), Mp3Frames(2));
             }
             card.Save([](CCardwrightDoc& doc) { doc.CountTracks(true); });
             card.Edit([](CardConfig&, ScheduleSet&) {});
         }},
        {"end-action-track-missing", Severity::Warning, 0, "TUNBOX.CFG",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) { c.Set(field::kEndAction, 1, 200); });
         }},
        {"end-action-code", Severity::Warning, 0, "TUNBOX.CFG",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) { c.Set(field::kEndAction, 2, 0); });
         }},
        {"input-mode-unknown", Severity::Warning, 0, "TUNBOX.CFG",
         [](TestCard& card) {
             SetOnCard(card,
                       [](CardConfig& c) { c.Set(field::kInputMode, InputSet::Player, 5, 10); });
         }},
        {"power-up-track-missing", Severity::Warning, 0, "TUNBOX.CFG",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) { c.Set(field::kPowerUpTrack, 9); });
         }},
        {"input-track-missing", Severity::Warning, 0, "TUNBOX.CFG",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) {
                 c.Set(field::kInputMode, InputSet::Animation, 2, 1);
                 c.Set(field::kOpenCode, InputSet::Animation, 2, 50);
             });
         }},
        {"playlist-entry-missing", Severity::Warning, 0, "TUNBOX.CFG",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) {
                 c.SetPlaylistEntry(3, 0, "GONE.MP3");
                 c.SetPlaylistCount(3, 1);
             });
         }},
        {"schedule-track-missing", Severity::Warning, 0, "SCHEDULE.SCH",
         [](TestCard& card) {
             card.Edit([](CardConfig&, ScheduleSet& s) {
                 s.AddScheduleEntry(1, ScheduleSet::MakeEntry(9, 30, true, 77));
             });
         }},
        {"show-file-missing", Severity::Warning, 0, "SHOW.A00",
         [](TestCard& card) {
             SetOnCard(card, [](CardConfig& c) {
                 c.Set(field::kChosenDownloadFile, "SHOW.A00");
                 c.Set(field::kNextBootFlag, true);
             });
         }},
        {"sounds-missing", Severity::Warning, 0, "SOUNDS",
         [&](TestCard& card) {
             noTracks(card);
             fs::remove_all(card.Sounds());
         }},
        {"sounds-not-folder", Severity::Error, 0, "SOUNDS",
         [&](TestCard& card) {
             noTracks(card);
             fs::remove_all(card.Sounds());
             Touch(card.Sounds());
         }},
        {"audio-in-root", Severity::Warning, 0, "LOOSE.MP3",
         [](TestCard& card) { WriteBytes(card.Dir() / "LOOSE.MP3", Mp3Frames(2)); }},
        {"not-fat", Severity::Note, 0, "", [](TestCard&) {},
         [](doctor::CheckOptions& o) { o.lister = CardLister(false); }},
        {"low-space", Severity::Warning, 0, "", [](TestCard&) {},
         [](doctor::CheckOptions& o) {
             o.freeSpace = [](const fs::path&, std::error_code&) -> std::uintmax_t { return 1000; };
         }},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(std::string(fault.id) + " " + fault.file);
        TestCard card;
        fault.make(card);
        doctor::CheckOptions options = OnCard();
        fault.options(options);
        const auto result = doctor::CheckCard(card.Dir(), options);
        ASSERT_EQ(result.findings.size(), 1u) << Describe(result);
        const doctor::Finding& f = result.findings[0];
        EXPECT_EQ(f.id, fault.id);
        EXPECT_EQ(f.severity, fault.severity);
        EXPECT_EQ(f.blinkCount, fault.blink);
        EXPECT_EQ(f.file, fault.file);
        EXPECT_FALSE(f.action.empty());
        EXPECT_EQ(doctor::ExitStatus(result.findings), static_cast<int>(fault.severity));
    }
}

TEST(CardCheck, ReportsProgressAndStopsWhenCancelled) {
    TestCard card;
    std::vector<int> done;
    std::atomic<bool> cancel{false};
    doctor::CheckOptions options = OnCard();
    options.progress = [&](int d, int total, const std::string&) {
        EXPECT_EQ(total, 3);
        done.push_back(d);
    };
    doctor::CheckCard(card.Dir(), options);
    EXPECT_EQ(done, (std::vector<int>{0, 1, 2, 3}));

    // Every file is empty, but the check stops after the first.
    done.clear();
    options.cancel = &cancel;
    options.progress = [&](int d, int, const std::string&) {
        done.push_back(d);
        cancel = true;
    };
    for (const char* name : {"ONE.WAV", "TWO.WAV", "THREE.MP3"}) {
        fs::resize_file(card.Sounds() / name, 0);
    }
    const auto result = doctor::CheckCard(card.Dir(), options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(done, (std::vector<int>{0}));
    EXPECT_EQ(result.findings.size(), 1u) << Describe(result);
}

TEST(AudioInspection, EveryCutOfAFileIsFound) {
    TempDir dir;
    const auto judge = [&](const char* name, const Bytes& bytes, std::size_t n) {
        WriteBytes(dir / name, Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n)));
        return doctor::InspectAudio(name, media::ProbeFile(dir / name));
    };
    const Bytes frames = Mp3Frames(4);
    for (std::size_t n = kMp3Frame + 1; n <= frames.size(); n += n % kMp3Frame < 2 ? 1 : 101) {
        EXPECT_EQ(judge("A.MP3", frames, n).has_value(), n % kMp3Frame != 0) << n;
    }
    WriteWav(dir / "W.WAV");
    const Bytes wav = ReadBytes(dir / "W.WAV");
    // Cut within the data chunk's own header, a WAV may read as one of no
    // sound; anywhere else a cut is found.
    for (std::size_t n = 1; n <= wav.size(); n += n < 64 ? 1 : 97) {
        if (n < 40 || n >= 44) {
            EXPECT_EQ(judge("A.WAV", wav, n).has_value(), n < wav.size()) << n;
        }
    }
}

}  // namespace

namespace {

// A slip that leaves many files or tracks wrong is one finding that counts
// them, of the severity of what it costs.
TEST(CardCheck, OneCauseIsOneFindingThatCountsItsConsequences) {
    TestCard noSounds;
    WriteWav(noSounds.Dir() / "LOOSE.WAV");
    fs::remove_all(noSounds.Sounds());
    auto result = doctor::CheckCard(noSounds.Dir(), OnCard());
    ASSERT_EQ(result.findings.size(), 1u) << Describe(result);
    EXPECT_EQ(result.findings[0].id, "sounds-missing");
    EXPECT_EQ(result.findings[0].severity, Severity::Error);
    EXPECT_EQ(result.findings[0].problem,
              "the card has no SOUNDS folder, so none of the 3 tracks of the configuration plays; "
              "1 audio file lies in the card's root, where the player does not look");

    TestCard copiedOn;
    for (const char* name : {"A.WAV", "B.WAV", "C.WAV", "D.WAV"}) {
        WriteWav(copiedOn.Sounds() / name);
    }
    fs::remove(copiedOn.Sounds() / "ONE.WAV");
    fs::remove(copiedOn.Sounds() / "TWO.WAV");
    result = doctor::CheckCard(copiedOn.Dir(), OnCard());
    std::map<std::string, std::string> problems;
    for (const doctor::Finding& f : result.findings) {
        EXPECT_TRUE(problems.emplace(f.id, f.file + ": " + f.problem).second) << Describe(result);
    }
    EXPECT_EQ(problems["file-without-track"],
              "SOUNDS: 4 files are on the card but no track plays them: A.WAV (A.WAV), B.WAV "
              "(B.WAV), C.WAV (C.WAV) and 1 more");
    EXPECT_EQ(problems["track-missing"],
              "SOUNDS: 2 tracks name files that are not in SOUNDS: track 1 (ONE.WAV), track 3 "
              "(TWO.WAV)");
    EXPECT_EQ(problems.count("track-moved"), 1u);  // THREE.MP3 is now the fifth
}

}  // namespace
