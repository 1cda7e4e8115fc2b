#include <gtest/gtest.h>

#include <QAction>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <cstdlib>
#include <set>

#include "AppTestSupport.h"
#include "app/CardReport.h"
#include "app/MainFrame.h"
#include "model/Describe.h"

namespace {

// A demonstration card written by the program's own tool.
std::filesystem::path DemoCard(const QTemporaryDir& dir) {
    const std::string command =
        std::string(CARDWRIGHT_DEMO_TOOL) + " '" + dir.path().toStdString() + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return dir.path().toStdString();
}

// The text of every block as QTextDocument parsed the HTML: table cells,
// list items and paragraphs each on their own, list items marked.
struct Parsed {
    std::set<QString> blocks;
    std::set<QString> items;
};
Parsed Parse(const QTextDocument& document) {
    Parsed p;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        (b.textList() != nullptr ? p.items : p.blocks).insert(b.text());
    }
    return p;
}

std::string LongName(const doctor::ReportContent& r, const std::string& alias) {
    for (const auto& [shortName, longName] : r.aliases) {
        if (shortName == alias) {
            return longName;
        }
    }
    return {};
}

TEST(CardReport, TheDemonstrationCardInWordsAndPictures) {
    QTemporaryDir dir;
    const auto read = doctor::GatherReport(DemoCard(dir));
    ASSERT_TRUE(read.ok());
    const doctor::ReportContent& r = read.value();
    const auto document = cardreport::MakeDocument(r, 2024);
    const Parsed parsed = Parse(*document);
    const CardConfig& c = r.config;
    const describe::LongNames names = [&r](const std::string& a) { return LongName(r, a); };
    int tracks = 0;
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        if (c.TrackExists(n)) {
            ++tracks;
            const std::string longName = LongName(r, c.TrackName(n));
            EXPECT_TRUE(parsed.blocks.count(QString::fromStdString(longName))) << longName;
        }
    }
    EXPECT_EQ(tracks, 10);
    for (const InputSet set : {InputSet::Player, InputSet::Animation}) {
        for (int i = 0; i < c.InputCount(); ++i) {
            for (const std::string& s : describe::InputSentences(c, set, i, names)) {
                EXPECT_TRUE(parsed.items.count(QString::fromStdString(s))) << s;
            }
        }
    }
    int schedules = 0;
    for (int n = 1; n <= ScheduleSet::kMaxSchedule; ++n) {
        if (!r.schedules.InUse(n)) {
            continue;
        }
        ++schedules;
        const std::string days = "Runs on: " + describe::ScheduleDays(r.schedules, n) + ".";
        EXPECT_TRUE(parsed.blocks.count(QString::fromStdString(days))) << days;
        // The calendar's picture marks the schedule's days in red.
        const QImage picture = document
                                   ->resource(QTextDocument::ImageResource,
                                              QUrl(QStringLiteral("calendar-%1.png").arg(n)))
                                   .value<QImage>();
        ASSERT_FALSE(picture.isNull()) << n;
        bool red = false;
        for (int y = 0; y < picture.height() && !red; ++y) {
            for (int x = 0; x < picture.width() && !red; ++x) {
                red = picture.pixel(x, y) == qRgb(255, 0, 0);
            }
        }
        EXPECT_TRUE(red) << n;
    }
    EXPECT_EQ(schedules, 4);
    EXPECT_TRUE(parsed.blocks.count(QStringLiteral("TUNBOX/C40")));
}

TEST(CardReport, TheWindowExportsTheUnsavedDocumentAsAPdf) {
    QTemporaryDir dir;
    const std::filesystem::path card = DemoCard(dir);
    AppHarness h;
    ASSERT_TRUE(h.Start({QString::fromStdString((card / "TUNBOX.CFG").string())}));
    const std::string dropped = h.Doc().GetLongTrackName(h.Doc().GetConfig()->TrackName(3));
    h.Doc().GetConfig()->SetTrackName(3, "");  // a track dropped, not yet saved
    h.Doc().SetModifiedFlag(true);

    const auto content = cardreport::Gather(h.Doc(), &h.Frame());
    ASSERT_TRUE(content.has_value());
    const Parsed parsed = Parse(*cardreport::MakeDocument(*content, 2024));
    EXPECT_TRUE(parsed.blocks.count(QStringLiteral(
        "This report shows changes that have not been saved: the card does not hold them yet.")));
    EXPECT_FALSE(dropped.empty());
    EXPECT_FALSE(parsed.blocks.count(QString::fromStdString(dropped)));

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) {
        GTEST_SKIP() << "pdftotext (Debian poppler-utils) is not installed";
    }
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    h.files.names.push_back(pdf);
    h.Frame().findChild<QAction*>(QStringLiteral("fileExportReportPdf"))->trigger();
    QProcess text;
    text.start(pdftotext, {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString raw = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_GE(raw.count(QLatin1Char('\f')), 2) << "pages";
    const QString out = raw.simplified();  // a name may wrap in its table cell
    for (int n = 1; n <= layout::kMaxTrack; ++n) {
        const std::string name = h.Doc().GetConfig()->TrackName(n);
        if (!name.empty()) {
            const QString longName = QString::fromStdString(LongName(*content, name));
            EXPECT_TRUE(out.contains(longName.simplified())) << name;
        }
    }
    EXPECT_TRUE(out.contains(QStringLiteral("Runs on:")));
}

}  // namespace
