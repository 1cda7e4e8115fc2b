#include "app/MyPropertySheet.h"

#include <QFontMetrics>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/HelpDialog.h"
#include "app/SaveCommands.h"
#include "model/CardwrightDoc.h"
#include "pages/AudioSetup.h"
#include "pages/DummyPage.h"
#include "pages/InputSetup.h"
#include "pages/MpuSetup.h"
#include "pages/PlaylistSetup.h"
#include "pages/TrackSetup.h"
#include "schedule/SchedulePage.h"

namespace {

// The pages were laid out as 440 x 221 dialog units: a quarter of the average
// character width across, an eighth of the line height down.
QSize PageTemplateSize(const QFont& font) {
    const QFontMetrics metrics(font);
    return {440 * metrics.averageCharWidth() / 4, 221 * metrics.height() / 8};
}

}  // namespace

CMyPropertySheet::CMyPropertySheet(CCardwrightDoc& doc, SaveCommands& save, QWidget* parent)
    : QWidget(parent), doc_(doc), save_(save), tabs_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("propertySheet"));
    tabs_->setObjectName(QStringLiteral("sheetTabs"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    warningPage_ = new DummyPage(doc_, this);
    audioPage_ = new CAudioSetup(doc_, this);
    inputPage_ = new CInputSetup(doc_, PageId::InputSetup, this);
    animationInputPage_ = new CInputSetup(doc_, PageId::AnimationInputSetup, this);
    trackPage_ = new CTrackSetup(doc_, this);
    playlistPage_ = new CPlaylistSetup(doc_, this);
    schedulePage_ = new SchedulePage(doc_, this);
    schedulePage_->SetHelp([this](const QString& text) {
        HelpDialog help(HelpDialog::kScheduleHelp, text, this);
        help.exec();
    });
    animationPage_ = new CMpuSetup(doc_, this);

    const std::vector<CPropertyPage*> all{warningPage_,        audioPage_,    inputPage_,
                                          animationInputPage_, trackPage_,    playlistPage_,
                                          schedulePage_,       animationPage_};
    pageSize_ = RoomForPages(all);
    for (CPropertyPage* page : all) {
        page->setObjectName(page->Caption());
        page->SetHost(this);
        MakeFrame(page);
    }

    // In a narrow window the tabs scroll; the arrow keys on the tabs do
    // that, so Tab goes on from the tabs into the page, not to the arrows.
    for (QToolButton* arrow : tabs_->tabBar()->findChildren<QToolButton*>()) {
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(tabs_, &QTabWidget::currentChanged, this, &CMyPropertySheet::OnTabChanged);

    if (doc_.CountTracks(false) == 0) {
        doc_.CountTracks(true);
    }
    BuildPageSet();
}

QSize CMyPropertySheet::RoomForPages(const std::vector<CPropertyPage*>& pages) {
    // The window first opens with room for the largest page, so it keeps its
    // size whichever pages the model shows; a page never shrinks below what
    // its own layout needs, it scrolls instead.
    QSize room = PageTemplateSize(font());
    for (CPropertyPage* page : pages) {
        room = room.expandedTo(page->sizeHint());
    }
    // Wide enough for the longest row of tabs, which the clock models show.
    const QSignalBlocker blocker(tabs_);
    for (CPropertyPage* page : pages) {
        tabs_->addTab(new QWidget, page->Caption());
    }
    room.setWidth(std::max(room.width(), tabs_->tabBar()->sizeHint().width()));
    while (tabs_->count() > 0) {
        QWidget* stand = tabs_->widget(0);
        tabs_->removeTab(0);
        delete stand;
    }
    return room;
}

EditStep CMyPropertySheet::Step(const char* name) const {
    return {name, active_ != nullptr ? PageKey(active_->Id()) : std::string()};
}

CMyPropertySheet::~CMyPropertySheet() {
    // The pages are children of this widget; make sure none is told anything
    // while the widgets are torn down.
    disconnect(tabs_, nullptr, this, nullptr);
}

int CMyPropertySheet::GetPageCount() const {
    return tabs_->count();
}

CPropertyPage* CMyPropertySheet::GetPage(int index) const {
    const auto* frame = qobject_cast<QScrollArea*>(tabs_->widget(index));
    return frame != nullptr ? qobject_cast<CPropertyPage*>(frame->widget()) : nullptr;
}

QScrollArea* CMyPropertySheet::MakeFrame(CPropertyPage* page) {
    // A page scrolls when the window is smaller than it, and grows with the
    // window when it is larger.
    auto* frame = new QScrollArea(this);
    frame->setObjectName(page->Caption() + QStringLiteral(" frame"));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWidgetResizable(true);
    // Tab goes from the tabs straight into the page; the frame follows the
    // focus as it moves through the page.
    frame->setFocusPolicy(Qt::NoFocus);
    frame->setWidget(page);
    frame->hide();
    frames_.insert(page, frame);
    return frame;
}

int CMyPropertySheet::IndexOf(CPropertyPage* page) const {
    QScrollArea* frame = frames_.value(page);
    return frame != nullptr ? tabs_->indexOf(frame) : -1;
}

QScrollArea* CMyPropertySheet::FrameOf(CPropertyPage* page) const {
    return frames_.value(page);
}

QSize CMyPropertySheet::sizeHint() const {
    // The pages whole, with the row of tabs and the frame around them.
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs_) + 4;
    return {pageSize_.width() + frame,
            pageSize_.height() + tabs_->tabBar()->sizeHint().height() + frame};
}

int CMyPropertySheet::GetActiveIndex() const {
    return active_ != nullptr ? IndexOf(active_) : -1;
}

bool CMyPropertySheet::SetActivePage(int index) {
    CPropertyPage* page = GetPage(index);
    return page != nullptr && SwitchTo(page);
}

void CMyPropertySheet::AddPage(CPropertyPage* page) {
    if (IndexOf(page) >= 0) {
        return;
    }
    page->SetHost(this);
    QScrollArea* frame = frames_.contains(page) ? frames_.value(page) : MakeFrame(page);
    const QSignalBlocker blocker(tabs_);
    tabs_->addTab(frame, page->Caption());
    // The tab widget makes its first page current by itself; keep showing the
    // page that is really active.
    if (active_ != nullptr) {
        tabs_->setCurrentWidget(frames_.value(active_));
    }
}

void CMyPropertySheet::RemovePage(CPropertyPage* page) {
    const int index = IndexOf(page);
    if (index < 0) {
        return;
    }
    {
        const QSignalBlocker blocker(tabs_);
        tabs_->removeTab(index);
    }
    frames_.value(page)->hide();
    if (page != active_) {
        if (active_ != nullptr) {
            ShowTab(active_);
        }
        return;
    }
    // The page in front goes. While it is being left or the sheet is being
    // cleared, whoever started that decides what comes next; otherwise its
    // neighbour comes to the front.
    active_ = nullptr;
    if (switching_ || clearing_) {
        return;
    }
    page->OnKillActive();
    if (GetPageCount() > 0) {
        SwitchTo(GetPage(std::max(0, index - 1)));
    }
}

bool CMyPropertySheet::SwitchTo(CPropertyPage* target) {
    if (target == active_) {
        ShowTab(target);
        return true;
    }
    if (active_ != nullptr) {
        CPropertyPage* leaving = active_;
        bool left = false;
        {
            const QScopedValueRollback<bool> guard(switching_, true);
            left = leaving->OnKillActive();
        }
        if (!left) {
            if (IndexOf(leaving) >= 0) {
                active_ = leaving;
                ShowTab(leaving);
            }
            return false;
        }
    }
    active_ = nullptr;
    if (IndexOf(target) < 0) {
        return false;
    }
    active_ = target;
    ShowTab(target);
    if (!restoring_) {
        target->BeforeShow();
    }
    target->OnSetActive();
    return true;
}

void CMyPropertySheet::ShowTab(CPropertyPage* page) {
    const QSignalBlocker blocker(tabs_);
    tabs_->setCurrentWidget(frames_.value(page));
}

void CMyPropertySheet::OnTabChanged(int index) {
    if (switching_ || clearing_) {
        return;
    }
    if (CPropertyPage* page = GetPage(index)) {
        SwitchTo(page);
    }
}

void CMyPropertySheet::RemoveAllPages(bool store) {
    const QScopedValueRollback<bool> guard(clearing_, true);
    if (active_ != nullptr) {
        // Leaving stores what the page shows; a refusal cannot keep a page
        // that is about to go.
        CPropertyPage* leaving = active_;
        if (store) {
            leaving->OnKillActive();
        }
        active_ = nullptr;
    }
    while (GetPageCount() > 0) {
        RemovePage(GetPage(GetPageCount() - 1));
    }
}

void CMyPropertySheet::BuildPageSet() {
    BuildPageSet(std::nullopt, true);
}

void CMyPropertySheet::ShowRestored(std::optional<PageId> front) {
    // What the pages show is older than the document now: nothing of it is
    // stored on the way, and the document is shown as it was restored.
    const QScopedValueRollback<bool> guard(restoring_, true);
    BuildPageSet(front, false);
}

bool CMyPropertySheet::GoToPage(PageId id) {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (GetPage(i)->Id() == id) {
            return SetActivePage(i);
        }
    }
    return false;
}

std::vector<CPropertyPage*> CMyPropertySheet::PageSet() {
    std::vector<CPropertyPage*> pages{warningPage_};
    if (doc_.CountTracks(false) == 0) {
        return pages;
    }
    const CardConfig& config = *doc_.GetConfig();
    pages.insert(pages.end(), {trackPage_, playlistPage_, audioPage_, inputPage_});
    if (config.HasAnimation()) {
        pages.insert(pages.end(), {animationInputPage_, animationPage_});
        if (config.HasClock()) {
            pages.push_back(schedulePage_);
        }
    }
    if (!doc_.SyncTracks(false).CardChanged()) {
        pages.erase(pages.begin());
    }
    return pages;
}

std::vector<CPropertyPage*> CMyPropertySheet::ShownPages() const {
    std::vector<CPropertyPage*> pages;
    for (int i = 0; i < GetPageCount(); ++i) {
        pages.push_back(GetPage(i));
    }
    return pages;
}

void CMyPropertySheet::BuildPageSet(std::optional<PageId> front, bool storeLeaving) {
    RemoveAllPages(storeLeaving);
    BuildPageSet(front, false, PageSet());
}

void CMyPropertySheet::BuildPageSet(std::optional<PageId> front, bool storeLeaving,
                                    const std::vector<CPropertyPage*>& pages) {
    RemoveAllPages(storeLeaving);
    const CardConfig& config = *doc_.GetConfig();
    audioPage_->SetCoverFlag(config.IsAudioOnly() ? 1 : 0);
    inputPage_->SetTableSelector(InputSet::Player);
    animationInputPage_->SetTableSelector(InputSet::Animation);
    for (CPropertyPage* page : pages) {
        AddPage(page);
    }
    if (!front || !GoToPage(*front)) {
        SetActivePage(0);
    }
}

void CMyPropertySheet::OnPlayerType(PlayerModel model) {
    {
        // The same model chosen again changes nothing.
        const CCardwrightDoc::UserEdit edit(doc_, Step("Change Player Type"));
        doc_.GetConfig()->SetPlayerModel(model);
    }
    BuildPageSet();
}

void CMyPropertySheet::OnResetDefaults() {
    // The page in front stores what it shows before the reset overwrites it.
    SetActivePage(0);
    {
        const CCardwrightDoc::UserEdit edit(doc_, Step("Reset Everything to Defaults"));
        doc_.ResetEverythingToDefaults();
    }
    BuildPageSet();
}

SaveOutcome CMyPropertySheet::Save(SaveKind kind) {
    if (active_ == nullptr) {
        SetActivePage(0);
    }
    const SaveOutcome outcome =
        active_ != nullptr
            ? active_->OnFileSave(kind)
            : (save_.SaveDocument(kind) ? SaveOutcome::Saved : SaveOutcome::NotSaved);
    // A page that refused what the user typed keeps the front, as it is, so
    // the user can mend the value; nothing was saved.
    if (outcome == SaveOutcome::Refused) {
        return outcome;
    }
    // After Save As the document lives on the card saved to: the track list
    // follows that card's SOUNDS as when a card is opened, so tracks whose
    // files are there keep their numbers and settings.
    if (kind == SaveKind::SaveAs && outcome == SaveOutcome::Saved) {
        doc_.SyncTracks(true);
    }
    // The user stays where they were. When the save changed nothing the
    // pages show, the page in front keeps everything it shows; otherwise
    // it comes to the front again, showing the document afresh.
    // The card is looked at once: a second look would find nothing new.
    const std::vector<CPropertyPage*> pages = PageSet();
    const bool same = savedFrom_ && *savedFrom_ == *doc_.GetConfig() && pages == ShownPages();
    savedFrom_.reset();
    if (!same || active_ == nullptr) {
        BuildPageSet(active_ != nullptr ? std::optional(active_->Id()) : std::nullopt, true, pages);
    }
    return outcome;
}

bool CMyPropertySheet::OnFileSave() {
    return Save(SaveKind::Save) == SaveOutcome::Saved;
}

bool CMyPropertySheet::OnFileSaveAs() {
    return Save(SaveKind::SaveAs) == SaveOutcome::Saved;
}

bool CMyPropertySheet::StoreActivePage() {
    return active_ == nullptr || active_->Store();
}

bool CMyPropertySheet::SaveDocument(SaveKind kind) {
    savedFrom_ = *doc_.GetConfig();
    return save_.SaveDocument(kind);
}
