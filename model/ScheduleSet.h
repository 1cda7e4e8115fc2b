#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "model/Result.h"

// The schedules of the clock models as they are kept in memory and in
// SCHEDULE.SCH: 255 sorted entry lists and the 471-byte file header that holds the day and weekday
// tables and the clock reset time.
//
// An entry is three bytes held as byte0 << 16 | byte1 << 8 | byte2: the hour in
// packed BCD, the minute in packed BCD with bit 7 set for a track event, and
// the track or show number.
class ScheduleSet {
  public:
    static constexpr int kMaxSchedule = 255;
    static constexpr int kHeaderSize = 471;
    static constexpr int kDayMapOffset = 12;
    static constexpr int kWeekdayMapOffset = 384;
    static constexpr int kResetTimeOffset = 468;
    static constexpr std::uint32_t kTrackEvent = 0x80;  // in the minute byte

    using Header = std::array<std::uint8_t, kHeaderSize>;

    ScheduleSet() { Clear(); }

    // No schedules, empty maps, reset time 00:00:00.
    void Clear();

    bool AddScheduleEntry(int n, std::uint32_t entry);
    bool RemoveScheduleEntry(int n, std::uint32_t entry);
    bool ReplaceScheduleEntry(int n, std::uint32_t entry);
    std::uint32_t GetScheduleEntry(int n, int i) const;
    int EntryCount(int n) const;
    bool InUse(int n) const { return EntryCount(n) > 0; }
    const std::vector<std::uint32_t>& Entries(int n) const;
    // Schedule n's list becomes `entries`, taken in time order with one
    // event per minute as AddScheduleEntry takes them.
    void SetEntries(int n, const std::vector<std::uint32_t>& entries);

    // Empties schedule n's entry list: it is no longer in use.
    void ClearSchedule(int n) {
        if (Valid(n)) {
            lists_[n].clear();
        }
    }
    int FindFreeSchedule() const;

    // The ordering every entry list keeps, for lists held elsewhere too:
    // InsertEntry puts an entry where its time sorts and refuses a time the
    // list already has; RemoveEntry takes out the entry with the same hour
    // and minute, whatever it does.
    static bool InsertEntry(std::vector<std::uint32_t>& list, std::uint32_t entry);
    static bool RemoveEntry(std::vector<std::uint32_t>& list, std::uint32_t entry);

    static std::array<std::uint8_t, 3> EntryToBytes(std::uint32_t entry);
    static std::uint32_t BytesToEntry(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2);
    static std::uint32_t MakeEntry(int hour, int minute, bool track, int number);

    // Day map [month 0-11][day 0-30], weekday map [month 0-11][weekday 0-6,
    // 0 = Sunday]; 0 = no schedule.
    std::uint8_t DaySchedule(int month, int day) const;
    void SetDaySchedule(int month, int day, std::uint8_t schedule);
    std::uint8_t WeekdaySchedule(int month, int weekday) const;
    void SetWeekdaySchedule(int month, int weekday, std::uint8_t schedule);
    // Clock reset time as three packed-BCD bytes: hours, minutes, seconds.
    std::array<std::uint8_t, 3> ResetTime() const;
    void SetResetTime(std::uint8_t hoursBcd, std::uint8_t minutesBcd, std::uint8_t secondsBcd);

    const Header& HeaderBytes() const { return header_; }
    // Whether both would write the same schedule file.
    bool SameFileContent(const ScheduleSet& other) const {
        return lists_ == other.lists_ && header_ == other.header_;
    }
    // Writes the serial-address text and byte into header bytes 0 to 7.
    void SetSerialAddress(std::uint8_t address);

    // Renumbers the schedules in use to 1, 2, ... without gaps, keeping every
    // day and weekday cell on the schedule it named; cells naming a schedule
    // without entries become 0. Returns the number of schedules in use.
    int Compact();

    // The file image for the given serial address (compacts first).
    std::vector<std::uint8_t> Serialize(std::uint8_t serialAddress);

    // Loads a file image. An empty image (no file) loads as no schedules; a
    // bad one fails, leaving the set cleared, because its length field, its
    // checksum or its offset table does not hold. Either way the serial
    // address is written into the header. Entries are taken as
    // AddScheduleEntry takes them, in file order; those whose hour or minute
    // is not packed BCD of a time of day, or that fall on a minute already
    // taken, are left out, and their number is the result.
    Result<int> Parse(std::span<const std::uint8_t> bytes, std::uint8_t serialAddress);

  private:
    static bool Valid(int n) { return n >= 1 && n <= kMaxSchedule; }

    std::array<std::vector<std::uint32_t>, kMaxSchedule + 1> lists_;
    Header header_{};
};
