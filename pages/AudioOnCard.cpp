#include "pages/AudioOnCard.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "cardaudio/MediaTool.h"
#include "model/CardwrightDoc.h"
#include "model/SoundsOrder.h"
#include "pages/AddAudioDialog.h"
#include "pages/PropertyPage.h"

namespace {

namespace fs = std::filesystem;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

class Dialogs final : public AudioChoices {
  public:
    QStringList PickFiles(QWidget* parent) override {
        return QFileDialog::getOpenFileNames(
            parent, QStringLiteral("Add Audio"), QString(),
            QStringLiteral("Sound files (*.wav *.mp3 *.flac *.ogg *.oga *.aif *.aiff);;"
                           "All files (*)"));
    }
    std::vector<addaudio::Source> Confirm(QWidget* parent, const fs::path& cardDir,
                                          const DirectoryLister& lister,
                                          std::vector<addaudio::Source> sources) override {
        addaudio::PlanOptions options;
        options.lister = lister;
        CAddAudioDialog dialog(cardDir, std::move(sources), options, parent);
        return dialog.exec() == QDialog::Accepted ? dialog.Confirmed()
                                                  : std::vector<addaudio::Source>{};
    }
};

void Tell(CPropertyPage& page, const QString& text) {
    page.Document().GetPrompter().Tell(text.toStdString(), Prompter::Icon::Warning);
}

// What the user hears once the files are written, when anything went amiss
// or a file was turned down.
void TellOutcome(CPropertyPage& page, const addaudio::AddResult& result) {
    QStringList lines;
    if (result.refused) {
        lines << QStringLiteral("%1\nNothing was written.").arg(Q(result.refused->Message()));
    }
    for (const auto& s : result.scaled) {
        lines << QStringLiteral("\"%1\" was turned down by %2 dB so that it does not clip.")
                     .arg(Q(s.cardName))
                     .arg(std::fabs(s.gainDb), 0, 'f', 1);
    }
    if (result.failed) {
        lines << QStringLiteral("%1\nThe files after it were not written.")
                     .arg(Q(result.failed->Message()));
    }
    if (!lines.isEmpty()) {
        Tell(page, lines.join(QStringLiteral("\n\n")));
    }
}

// SOUNDS put in `wanted` (long names: those no longer on the card are left
// out, and the files not named follow), with nothing left to finish.
Status PutFilesInOrder(const card::Location& where, const DirectoryLister& lister,
                       const std::vector<std::string>& wanted) {
    const Result<card::Read> read = card::ReadCard(where, lister);
    if (!read) {
        return read.error();
    }
    const auto& audio = read->image.audio;
    std::vector<std::string> present;
    std::copy_if(wanted.begin(), wanted.end(), std::back_inserter(present),
                 [&audio](const std::string& name) {
                     return std::any_of(audio.begin(), audio.end(),
                                        [&name](const auto& f) { return f.longName == name; });
                 });
    const Result<std::vector<std::string>> order = soundsorder::ResolveOrder(audio, present);
    if (!order) {
        return order.error();
    }
    soundsorder::FileOps ops;
    if (!soundsorder::InOrder(audio, *order)) {
        if (Result<soundsorder::Journal> done = soundsorder::Reorder(where.dir, *order, audio, ops);
            !done) {
            return done.error();
        }
    }
    return soundsorder::Settle(where.dir, ops);
}

void TellNotInOrder(CCardwrightDoc& doc, const Failure& failure) {
    doc.GetPrompter().Tell(
        QStringLiteral("The files could not be put in order:\n%1\nEvery file is still on the "
                       "card; opening it again finishes the work.")
            .arg(Q(failure.Message()))
            .toStdString(),
        Prompter::Icon::Warning);
}

card::Location CardOf(const CPropertyPage& page) {
    return card::Locate(page.Document().CardDirectory());
}

}  // namespace

AudioChoices& DialogAudioChoices() {
    static Dialogs dialogs;
    return dialogs;
}

namespace audioflows {

addaudio::AddResult WriteWithProgress(QWidget* parent, const addaudio::Plan& plan,
                                      addaudio::AudioTool& tool, const DirectoryLister& lister) {
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::atomic<std::size_t> file{0};
    std::atomic<int> permille{0};
    addaudio::AddOptions options;
    options.cancel = &cancel;
    options.lister = lister;
    options.progress = [&](std::size_t index, std::uint64_t done, std::uint64_t total) {
        file = index;
        permille = total == 0 ? 1000 : static_cast<int>(done * 1000 / total);
    };
    addaudio::AddResult result;
    std::thread worker([&] {
        result = addaudio::AddFiles(plan, tool, options);
        finished = true;
    });
    QProgressDialog progress(QStringLiteral("Adding audio…"), QStringLiteral("Cancel"), 0,
                             static_cast<int>(plan.files.size()) * 1000, parent);
    progress.setObjectName(QStringLiteral("addAudioProgress"));
    progress.setWindowTitle(QStringLiteral("Add Audio"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const std::size_t i = file;
        progress.setLabelText(QStringLiteral("Writing \"%1\" (%2 of %3)")
                                  .arg(Q(plan.files[i].cardName))
                                  .arg(i + 1)
                                  .arg(plan.files.size()));
        progress.setValue(static_cast<int>(i) * 1000 + permille);
        if (finished) {
            loop.quit();
        }
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] { cancel = true; });
    tick.start(50);
    loop.exec();
    worker.join();
    return result;
}

bool AddAudio(CPropertyPage& page, AudioChoices& choices, QStringList files) {
    if (files.isEmpty()) {
        files = choices.PickFiles(&page);
    }
    if (files.isEmpty()) {
        return false;
    }
    cardaudio::MediaTool tool;
    std::vector<fs::path> paths;
    for (const QString& f : files) {
        paths.emplace_back(f.toStdString());
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<addaudio::Source> sources = addaudio::InspectAll(paths, tool);
    QApplication::restoreOverrideCursor();
    CCardwrightDoc& doc = page.Document();
    const std::vector<addaudio::Source> chosen =
        choices.Confirm(&page, doc.CardDirectory(), doc.GetDirectoryLister(), std::move(sources));
    if (chosen.empty()) {
        return false;
    }
    addaudio::PlanOptions planOptions;
    planOptions.lister = doc.GetDirectoryLister();
    const addaudio::Plan plan = addaudio::MakePlan(doc.CardDirectory(), chosen, planOptions);
    const addaudio::AddResult result =
        WriteWithProgress(&page, plan, tool, doc.GetDirectoryLister());
    TellOutcome(page, result);
    if (result.written.empty()) {
        return false;
    }
    const Result<card::Read> read = card::ReadCard(CardOf(page), doc.GetDirectoryLister());
    if (!read) {
        return false;
    }
    const CCardwrightDoc::UserEdit edit(doc, {"Add Audio", PageKey(page.Id()), nullptr});
    addaudio::AppendTracks(*doc.GetConfig(), read->image.audio, result.written);
    doc.RebuildPlaylistSlots();
    return true;
}

bool PutInTrackOrder(CPropertyPage& page) {
    CCardwrightDoc& doc = page.Document();
    const card::Location where = CardOf(page);
    const DirectoryLister lister = doc.GetDirectoryLister();
    const Result<card::Read> before = card::ReadCard(where, lister);
    if (!before) {
        Tell(page, Q(before.error().Message()));
        return false;
    }
    const auto& audio = before->image.audio;
    std::vector<std::string> previous;
    for (const card::AudioFile& f : audio) {
        previous.push_back(f.longName);
    }
    const std::vector<std::string> order = soundsorder::TrackOrder(*doc.GetConfig(), audio);
    if (Status moved = PutFilesInOrder(where, lister, order); !moved) {
        TellNotInOrder(doc, moved.error());
        return false;
    }
    const Result<card::Read> after = card::ReadCard(where, lister);
    if (!after) {
        Tell(page, Q(after.error().Message()));
        return false;
    }
    // Undo puts the files back in the order they had, and redo in this one,
    // as the settings go back and forth with them.
    EditStep step{"Put in Track Order", PageKey(page.Id()), nullptr,
                  [&doc, where, lister, previous, order](bool undo) {
                      if (Status moved = PutFilesInOrder(where, lister, undo ? previous : order);
                          !moved) {
                          TellNotInOrder(doc, moved.error());
                      }
                  }};
    const CCardwrightDoc::UserEdit edit(doc, std::move(step));
    const card::Image moved = soundsorder::FollowFiles(doc.Image(), audio, after->image.audio);
    *doc.GetConfig() = moved.config;
    doc.Schedules() = moved.schedules;
    return true;
}

bool OutOfTrackOrder(const CPropertyPage& page) {
    return soundsorder::OutOfTrackOrder(*page.Document().GetConfig());
}

}  // namespace audioflows
