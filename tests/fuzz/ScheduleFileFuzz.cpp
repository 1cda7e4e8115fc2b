// Any byte sequence as SCHEDULE.SCH: it is loaded or ignored cleanly, and
// whatever loads writes back into a file that loads to the same schedules.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/ScheduleSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScheduleSet set;
    if (!set.Parse(std::span<const std::uint8_t>(data, size), 0).ok() || size == 0) {
        return 0;
    }
    std::vector<std::vector<std::uint32_t>> before;
    set.Compact();
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        before.push_back(set.Entries(n));
    }
    const auto image = set.Serialize(0);
    ScheduleSet again;
    if (!again.Parse(image, 0).ok()) {
        std::abort();
    }
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        if (again.Entries(n) != before[static_cast<std::size_t>(n - 1)]) {
            std::abort();
        }
    }
    return 0;
}
