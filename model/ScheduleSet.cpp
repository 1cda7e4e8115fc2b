#include "model/ScheduleSet.h"

#include "model/Bytes.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// Entries are ordered and compared by hour, then minute; the track-event bit
// of the minute byte takes no part.
std::uint32_t TimeKey(std::uint32_t entry) {
    return (((entry >> 16) & 0xFF) << 8) | ((entry >> 8) & 0x7F);
}

bool KeyBefore(std::uint32_t stored, std::uint32_t key) {
    return TimeKey(stored) < key;
}

constexpr int kMinutesPerDay = 24 * 60;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;  // entries are 24 bits

// The minute of the day an entry's time names, which orders entries as their
// time key does, or -1 when the hour or minute is not packed BCD of a time of
// day.
int MinuteOfDay(std::uint32_t entry) {
    const std::uint32_t hour = (entry >> 16) & 0xFF;
    const std::uint32_t minute = (entry >> 8) & 0x7F;
    if ((hour & 0x0F) > 9 || (minute & 0x0F) > 9) {
        return -1;
    }
    const int h = static_cast<int>((hour >> 4) * 10 + (hour & 0x0F));
    const int m = static_cast<int>((minute >> 4) * 10 + (minute & 0x0F));
    return h < 24 && m < 60 ? h * 60 + m : -1;
}

std::uint16_t Checksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (std::uint8_t b : bytes) {
        sum += b;
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

constexpr std::size_t kLengthOffset = 8;
constexpr std::size_t kCountOffset = 11;
constexpr std::size_t kChecksummedFrom = 7;

}  // namespace

void ScheduleSet::Clear() {
    for (auto& list : lists_) {
        list.clear();
    }
    header_.fill(0);
}

bool ScheduleSet::InsertEntry(std::vector<std::uint32_t>& list, std::uint32_t entry) {
    const std::uint32_t key = TimeKey(entry);
    const auto it = std::lower_bound(list.begin(), list.end(), key, KeyBefore);
    if (it != list.end() && TimeKey(*it) == key) {
        return false;
    }
    list.insert(it, entry);
    return true;
}

bool ScheduleSet::RemoveEntry(std::vector<std::uint32_t>& list, std::uint32_t entry) {
    const std::uint32_t key = TimeKey(entry);
    const auto it = std::lower_bound(list.begin(), list.end(), key, KeyBefore);
    if (it == list.end() || TimeKey(*it) != key) {
        return false;
    }
    list.erase(it);
    return true;
}

bool ScheduleSet::AddScheduleEntry(int n, std::uint32_t entry) {
    return Valid(n) && InsertEntry(lists_[n], entry);
}

bool ScheduleSet::RemoveScheduleEntry(int n, std::uint32_t entry) {
    return Valid(n) && RemoveEntry(lists_[n], entry);
}

bool ScheduleSet::ReplaceScheduleEntry(int n, std::uint32_t entry) {
    RemoveScheduleEntry(n, entry);
    return AddScheduleEntry(n, entry);
}

std::uint32_t ScheduleSet::GetScheduleEntry(int n, int i) const {
    if (!Valid(n) || i < 0 || i >= EntryCount(n)) {
        return 0;
    }
    return lists_[n][static_cast<std::size_t>(i)];
}

int ScheduleSet::EntryCount(int n) const {
    return Valid(n) ? static_cast<int>(lists_[n].size()) : 0;
}

const std::vector<std::uint32_t>& ScheduleSet::Entries(int n) const {
    return Valid(n) ? lists_[n] : lists_[0];
}

void ScheduleSet::SetEntries(int n, const std::vector<std::uint32_t>& entries) {
    if (!Valid(n)) {
        return;
    }
    lists_[n].clear();
    for (std::uint32_t entry : entries) {
        InsertEntry(lists_[n], entry);
    }
}

int ScheduleSet::FindFreeSchedule() const {
    for (int n = 1; n <= kMaxSchedule; ++n) {
        if (lists_[n].empty()) {
            return n;
        }
    }
    return -1;
}

std::array<std::uint8_t, 3> ScheduleSet::EntryToBytes(std::uint32_t entry) {
    return {static_cast<std::uint8_t>((entry >> 16) & 0xFF),
            static_cast<std::uint8_t>((entry >> 8) & 0xFF),
            static_cast<std::uint8_t>(entry & 0xFF)};
}

std::uint32_t ScheduleSet::BytesToEntry(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    return (static_cast<std::uint32_t>(b0) << 16) | (static_cast<std::uint32_t>(b1) << 8) | b2;
}

std::uint32_t ScheduleSet::MakeEntry(int hour, int minute, bool track, int number) {
    const auto bcd = [](int v) { return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10)); };
    return BytesToEntry(bcd(hour),
                        static_cast<std::uint8_t>(bcd(minute) | (track ? kTrackEvent : 0)),
                        static_cast<std::uint8_t>(number));
}

namespace {
bool ValidDay(int month, int day) {
    return month >= 0 && month < 12 && day >= 0 && day < 31;
}
bool ValidWeekday(int month, int weekday) {
    return month >= 0 && month < 12 && weekday >= 0 && weekday < 7;
}
}  // namespace

std::uint8_t ScheduleSet::DaySchedule(int month, int day) const {
    if (!ValidDay(month, day)) {
        return 0;
    }
    return header_[static_cast<std::size_t>(kDayMapOffset + 31 * month + day)];
}

void ScheduleSet::SetDaySchedule(int month, int day, std::uint8_t schedule) {
    if (!ValidDay(month, day)) {
        return;
    }
    header_[static_cast<std::size_t>(kDayMapOffset + 31 * month + day)] = schedule;
}

std::uint8_t ScheduleSet::WeekdaySchedule(int month, int weekday) const {
    if (!ValidWeekday(month, weekday)) {
        return 0;
    }
    return header_[static_cast<std::size_t>(kWeekdayMapOffset + 7 * month + weekday)];
}

void ScheduleSet::SetWeekdaySchedule(int month, int weekday, std::uint8_t schedule) {
    if (!ValidWeekday(month, weekday)) {
        return;
    }
    header_[static_cast<std::size_t>(kWeekdayMapOffset + 7 * month + weekday)] = schedule;
}

std::array<std::uint8_t, 3> ScheduleSet::ResetTime() const {
    return {header_[kResetTimeOffset], header_[kResetTimeOffset + 1],
            header_[kResetTimeOffset + 2]};
}

void ScheduleSet::SetResetTime(std::uint8_t hoursBcd, std::uint8_t minutesBcd,
                               std::uint8_t secondsBcd) {
    header_[kResetTimeOffset] = hoursBcd;
    header_[kResetTimeOffset + 1] = minutesBcd;
    header_[kResetTimeOffset + 2] = secondsBcd;
}

void ScheduleSet::SetSerialAddress(std::uint8_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "sA5A4%.2X", address);
    for (int i = 0; i < 7; ++i) {
        header_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(text[i]);
    }
    header_[7] = address;
}

int ScheduleSet::Compact() {
    std::array<std::uint8_t, kMaxSchedule + 1> renumber{};
    int next = 1;
    for (int t = 1; t <= kMaxSchedule; ++t) {
        if (lists_[t].empty()) {
            continue;
        }
        renumber[t] = static_cast<std::uint8_t>(next);
        if (t != next) {
            lists_[next] = std::move(lists_[t]);
            lists_[t].clear();
        }
        ++next;
    }
    // Every day and weekday cell keeps naming the schedule it named; a cell
    // naming a schedule without entries is left with none.
    for (std::size_t i = kDayMapOffset; i < kResetTimeOffset; ++i) {
        header_[i] = renumber[header_[i]];
    }
    return next - 1;
}

std::vector<std::uint8_t> ScheduleSet::Serialize(std::uint8_t serialAddress) {
    SetSerialAddress(serialAddress);
    const int n = Compact();
    std::size_t entryCount = 0;
    for (int k = 1; k <= n; ++k) {
        entryCount += lists_[k].size();
    }
    const std::size_t size = 476 + 3 * (static_cast<std::size_t>(n) + entryCount);
    std::vector<std::uint8_t> buf(size, 0);
    std::copy(header_.begin(), header_.end(), buf.begin());
    le24::Write(buf, kLengthOffset, static_cast<std::uint32_t>(size - 9));
    buf[kCountOffset] = static_cast<std::uint8_t>(n);

    std::size_t offset = kHeaderSize + 3 * (static_cast<std::size_t>(n) + 1);
    for (int k = 1; k <= n; ++k) {
        le24::Write(buf, kHeaderSize + 3 * static_cast<std::size_t>(k - 1),
                    static_cast<std::uint32_t>(offset));
        for (std::uint32_t entry : lists_[k]) {
            const auto bytes = EntryToBytes(entry);
            buf[offset] = bytes[0];
            buf[offset + 1] = bytes[1];
            buf[offset + 2] = bytes[2];
            offset += 3;
        }
    }
    le24::Write(buf, kHeaderSize + 3 * static_cast<std::size_t>(n),
                static_cast<std::uint32_t>(offset));

    const std::uint16_t sum =
        Checksum(std::span<const std::uint8_t>(buf).subspan(kChecksummedFrom, size - 9));
    buf[size - 2] = static_cast<std::uint8_t>(sum & 0xFF);
    buf[size - 1] = static_cast<std::uint8_t>(sum >> 8);
    return buf;
}

namespace {

// The offsets of the schedules' entry runs, once the file's length field,
// checksum and offset table hold together: entry run k lies from table[k-1]
// to table[k]. A file can pass both checks and still not hold a whole header
// and offset table, or point outside itself; such a file is as bad as a wrong
// sum.
Result<std::vector<std::uint32_t>> OffsetTable(std::span<const std::uint8_t> bytes) {
    const std::size_t size = bytes.size();
    if (size < kCountOffset + 1 + 2 || le24::Read(bytes, kLengthOffset) != size - 9) {
        return Failure{{}, "its length field does not match its size"};
    }
    const std::uint16_t stored =
        static_cast<std::uint16_t>(bytes[size - 2] | (bytes[size - 1] << 8));
    if (Checksum(bytes.subspan(kChecksummedFrom, size - 9)) != stored) {
        return Failure{{}, "its checksum does not match its contents"};
    }
    const std::size_t n = bytes[kCountOffset];
    const std::size_t entriesFrom = ScheduleSet::kHeaderSize + 3 * (n + 1);
    const std::size_t entriesTo = size - 2;
    if (entriesFrom > entriesTo) {
        return Failure{{}, "its schedule table does not fit in the file"};
    }
    std::vector<std::uint32_t> table(n + 1);
    for (std::size_t k = 0; k <= n; ++k) {
        table[k] = le24::Read(bytes, ScheduleSet::kHeaderSize + 3 * k);
        const bool inside = table[k] >= entriesFrom && table[k] <= entriesTo;
        if (!inside || (k > 0 && table[k] < table[k - 1])) {
            return Failure{{}, "its schedule table points outside the file"};
        }
    }
    return table;
}

// One schedule's entries from its run of 3-byte entries, kept as the user's
// own are: in time order, one per minute, the first in the file winning. A
// time that is not packed BCD of a time of day is dropped and counted in
// `dropped`. A file written by this program is in order already and each
// entry lands at the end; once one is out of order, the rest of the schedule
// is gathered by minute of the day.
std::vector<std::uint32_t> GatherEntries(std::span<const std::uint8_t> run, int& dropped) {
    std::vector<std::uint32_t> list;
    list.reserve(std::min<std::size_t>(run.size() / 3, kMinutesPerDay));
    std::vector<std::uint32_t> byMinute;
    bool inOrder = true;
    int last = -1;
    for (std::size_t at = 0; at + 3 <= run.size(); at += 3) {
        const std::uint32_t entry = ScheduleSet::BytesToEntry(run[at], run[at + 1], run[at + 2]);
        const int minute = MinuteOfDay(entry);
        if (minute < 0) {
            ++dropped;
            continue;
        }
        if (inOrder) {
            if (minute > last) {
                list.push_back(entry);
                last = minute;
                continue;
            }
            inOrder = false;
            byMinute.assign(kMinutesPerDay, kNoEntry);
            for (std::uint32_t kept : list) {
                byMinute[static_cast<std::size_t>(MinuteOfDay(kept))] = kept;
            }
        }
        std::uint32_t& slot = byMinute[static_cast<std::size_t>(minute)];
        if (slot == kNoEntry) {
            slot = entry;
        } else {
            ++dropped;
        }
    }
    if (!inOrder) {
        list.clear();
        std::copy_if(byMinute.begin(), byMinute.end(), std::back_inserter(list),
                     [](std::uint32_t e) { return e != kNoEntry; });
    }
    return list;
}

}  // namespace

Result<int> ScheduleSet::Parse(std::span<const std::uint8_t> bytes, std::uint8_t serialAddress) {
    Clear();
    if (bytes.empty()) {
        SetSerialAddress(serialAddress);
        return 0;
    }
    const auto table = OffsetTable(bytes);
    if (!table) {
        SetSerialAddress(serialAddress);
        return table.error();
    }
    int dropped = 0;
    for (std::size_t k = 1; k < table->size(); ++k) {
        const std::uint32_t from = (*table)[k - 1];
        lists_[k] = GatherEntries(bytes.subspan(from, (*table)[k] - from), dropped);
    }
    std::copy(bytes.begin(), bytes.begin() + kHeaderSize, header_.begin());
    return dropped;
}
