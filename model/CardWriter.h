#pragma once

#include <cstdint>
#include <filesystem>

#include "model/CardConfig.h"
#include "model/Prompter.h"
#include "model/ScheduleSet.h"

// Puts a configuration's files onto a card. Each file replaces the old one
// only once it is whole on the card (see fileio::Replace); each failure is
// told to the user, naming the file, what went wrong and what the card still
// holds, and returns false.
class CardWriter {
  public:
    // `program` is the running program, copied onto every card it saves to;
    // empty when it cannot be found.
    CardWriter(Prompter& prompter, std::filesystem::path program)
        : prompter_(prompter), program_(std::move(program)) {}

    // TUNBOX.CFG, or whatever name the user saves the configuration under.
    bool WriteConfig(const std::filesystem::path& path, const CardConfig& config);
    // SCHEDULE.SCH in `cardDir`; the schedules are compacted as they are written.
    bool WriteSchedule(const std::filesystem::path& cardDir, ScheduleSet& schedules,
                       std::uint8_t serialAddress);
    bool WriteKelda(const std::filesystem::path& cardDir, const CardConfig& config);
    // Cardwright.exe in `cardDir`; nothing is written when the card already
    // holds this program or the program runs from there.
    bool CopyProgram(const std::filesystem::path& cardDir);

  private:
    Prompter& prompter_;
    std::filesystem::path program_;
};
