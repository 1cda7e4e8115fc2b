#include <gtest/gtest.h>

#include "model/ShowFiles.h"

namespace {

platform::DirEntry File(std::string longName, std::string alias, std::uint64_t time) {
    return {std::move(longName), std::move(alias), false, false, time};
}

TEST(ShowFiles, TheNewestFileIsOfferedUnlessItIsTheCurrentOne) {
    CardConfig c;
    c.Set(field::kCurrentDownloadFile, "SHOW.A00");
    c.Set(field::kCurrentDownloadStamp, 5);  // the file's own time counts, not this
    const std::vector<platform::DirEntry> listing = {File("SHOW.A00", "SHOW.A00", 100),
                                                     File("NOTES.TXT", "NOTES.TXT", 900),
                                                     {"DIR.A02", "DIR.A02", true, false, 900},
                                                     File("show.animation", "SHOW~1.ANI", 50),
                                                     File("odd.a1", "", 20)};
    showfiles::Scan scan = showfiles::Find(listing, c);
    ASSERT_EQ(scan.files.size(), 3u);
    EXPECT_EQ(scan.files[1].name, "SHOW~1.ANI");
    EXPECT_EQ(scan.files[2].name, "ERROR.A00");
    EXPECT_TRUE(scan.currentPresent);
    EXPECT_FALSE(scan.newer);

    // A later file is offered; of equal times the first listed.
    auto later = listing;
    later.push_back(File("SHOW.A01", "SHOW.A01", 200));
    later.push_back(File("SHOW.A02", "SHOW.A02", 200));
    scan = showfiles::Find(later, c);
    EXPECT_EQ(scan.newer, 3u);

    // Without the current file on the card, whatever is there is newer.
    c.Set(field::kCurrentDownloadFile, "GONE.A00");
    scan = showfiles::Find(listing, c);
    EXPECT_FALSE(scan.currentPresent);
    EXPECT_EQ(scan.newer, 0u);
    EXPECT_FALSE(showfiles::Find({}, c).newer);
}

TEST(ShowFiles, StoreAsksForTheNextBootOnlyWithAFileAndLoadsOnlyWhatThereIs) {
    // Card file times before 1970 and after 2038 keep every bit in the three words.
    const std::uint64_t y1965 = 0x0198'16FE'564E'CD15ull, y2040 = 0x01EC'2C81'E77B'28B1ull;
    showfiles::Scan scan;
    scan.files = {{"OLD.A00", y1965}, {"NEW.A01", y2040}};
    for (const std::size_t file : {0u, 1u}) {
        CardConfig c;
        showfiles::Store(c, scan, {file, true, true});
        EXPECT_TRUE(c.Get(field::kNextBootFlag) && c.Get(field::kLoadOnBootFlag));
        EXPECT_EQ(c.Get(field::kChosenDownloadFile), scan.files[file].name);
        const std::uint64_t time = scan.files[file].time;
        EXPECT_EQ(c.Word(2679), time & 0xFFFFFF);
        EXPECT_EQ(c.Word(2680), (time >> 24) & 0xFFFFFF);
        EXPECT_EQ(c.Word(2681), time >> 48);
        EXPECT_EQ(c.Get(field::kChosenDownloadStamp), time);
    }

    // Ticked without a file: no request, and with nothing current nothing to load.
    CardConfig c;
    c.Set(field::kNextBootFlag, true);
    c.Set(field::kChosenDownloadFile, "KEPT.A00");
    showfiles::Store(c, scan, {std::nullopt, true, true});
    EXPECT_FALSE(c.Get(field::kNextBootFlag));
    EXPECT_FALSE(c.Get(field::kLoadOnBootFlag));
    EXPECT_EQ(c.Get(field::kChosenDownloadFile), "KEPT.A00");
    c.Set(field::kCurrentDownloadFile, "NOW.A00");
    showfiles::Store(c, scan, {std::nullopt, false, true});
    EXPECT_TRUE(c.Get(field::kLoadOnBootFlag));
    showfiles::Store(c, scan, {std::nullopt, false, false});
    EXPECT_FALSE(c.Get(field::kLoadOnBootFlag));
}

}  // namespace
