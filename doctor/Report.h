#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "doctor/CardCheck.h"
#include "doctor/Finding.h"
#include "doctor/Settings.h"
#include "model/CardConfig.h"
#include "model/Result.h"
#include "model/ScheduleSet.h"

// A report of the whole card for the people who install and look after a
// player: what each input does, what plays when, which days run which
// schedule, and what the card check found. It is one self-contained
// document, as HTML (styles inline, nothing outside it) or as Markdown.
namespace doctor {

// Everything a report says. The command line fills it from the card; the
// window puts its document, unsaved changes and all, in place of the card's
// settings.
struct ReportContent {
    CardConfig config;
    ScheduleSet schedules;
    // By schedule number; a missing or empty name reads "Schedule n".
    std::vector<std::string> scheduleNames;
    std::string cardFolder;
    std::string date;
    // The settings differ from what the card holds.
    bool unsavedChanges = false;
    // Long names of the audio files by their 8.3 alias.
    AliasList aliases;
    // Length of sound in seconds by 8.3 alias, where it could be read.
    std::map<std::string, double> seconds;
    // Whether `findings` hold a check's result, and a word on them: why
    // there are none, or what they describe.
    bool checked = false;
    std::string checkNote;
    std::vector<Finding> findings;
};

enum class ReportFormat { Html, Markdown };

// The address of the picture of a schedule's days (an HTML image source);
// empty for none.
using ScheduleImages = std::function<std::string(int schedule)>;

std::string RenderReport(const ReportContent& content, ReportFormat format,
                         const ScheduleImages& images = {});

struct GatherOptions {
    // Run the card check for the findings.
    bool check = true;
    // The check's lister, progress and cancel flag; the lengths are read
    // with the same progress and cancel flag after the check.
    CheckOptions checkOptions;
    // "2024-05-01"; empty: today.
    std::string date;
};

// Reads the card at CARD (its folder or configuration file), checks it and
// reads each audio file's length. Fails only when the card cannot be read at
// all; a card whose configuration is missing or damaged reports the defaults
// it reads as, with the check saying why.
Result<ReportContent> GatherReport(const std::filesystem::path& card,
                                   const GatherOptions& options = {});

// "0:07", "12:34": whole seconds, rounded.
std::string LengthText(double seconds);

}  // namespace doctor
