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
QSize DialogUnits(const QFont& font, QSize units) {
    const QFontMetrics metrics(font);
    return {units.width() * metrics.averageCharWidth() / 4, units.height() * metrics.height() / 8};
}

// What each page's layout asks for, in dialog units, with a little to spare.
// The sheet sizes the window from these before it builds any page, so a page
// is built only when it is first shown; the scale tests check that every
// page still fits.
QSize DesignUnits(PageId id) {
    switch (id) {
        case PageId::AudioSetup:
            return {274, 138};
        case PageId::InputSetup:
        case PageId::AnimationInputSetup:
            return {634, 164};
        case PageId::TrackSetup:
            return {460, 184};
        case PageId::Playlists:
            return {376, 202};
        case PageId::Schedule:
            return {416, 254};
        case PageId::AnimationControlSetup:
            return {425, 202};
        case PageId::TrackWarning:
            break;
    }
    return {440, 221};
}

constexpr PageId kAllPages[] = {
    PageId::TrackWarning, PageId::AudioSetup, PageId::InputSetup, PageId::AnimationInputSetup,
    PageId::TrackSetup,   PageId::Playlists,  PageId::Schedule,   PageId::AnimationControlSetup,
};

const char* const kPageIdProperty = "pageId";

}  // namespace

CMyPropertySheet::CMyPropertySheet(CCardwrightDoc& doc, SaveCommands& save, QWidget* parent)
    : QWidget(parent), doc_(doc), save_(save), tabs_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("propertySheet"));
    tabs_->setObjectName(QStringLiteral("sheetTabs"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);

    pageSize_ = RoomForPages();

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

CPropertyPage* CMyPropertySheet::MakePage(PageId id) {
    switch (id) {
        case PageId::TrackWarning:
            return new DummyPage(doc_, this);
        case PageId::AudioSetup:
            return new CAudioSetup(doc_, this);
        case PageId::InputSetup:
        case PageId::AnimationInputSetup: {
            auto* page = new CInputSetup(doc_, id, this);
            page->SetTableSelector(id == PageId::InputSetup ? InputSet::Player
                                                            : InputSet::Animation);
            return page;
        }
        case PageId::TrackSetup:
            return new CTrackSetup(doc_, this);
        case PageId::Playlists:
            return new CPlaylistSetup(doc_, this);
        case PageId::Schedule: {
            auto* page = new SchedulePage(doc_, this);
            page->SetHelp([this](const QString& text) {
                HelpDialog help(HelpDialog::kScheduleHelp, text, this);
                help.exec();
            });
            return page;
        }
        case PageId::AnimationControlSetup:
            break;
    }
    return new CMpuSetup(doc_, this);
}

CPropertyPage* CMyPropertySheet::Page(PageId id) {
    if (CPropertyPage* page = pages_[id]) {
        return page;
    }
    CPropertyPage* page = MakePage(id);
    pages_[id] = page;
    page->setObjectName(page->Caption());
    page->SetHost(this);
    QScrollArea* frame = Frame(id);
    frame->setWidget(page);
    frames_.insert(page, frame);
    ConfigurePage(page);
    return page;
}

void CMyPropertySheet::ConfigurePage(CPropertyPage* page) {
    if (auto* audio = qobject_cast<CAudioSetup*>(page)) {
        audio->SetCoverFlag(doc_.GetConfig()->IsAudioOnly() ? 1 : 0);
    }
}

QScrollArea* CMyPropertySheet::Frame(PageId id) {
    QScrollArea*& frame = idFrames_[id];
    if (frame == nullptr) {
        frame = MakeFrame(PageCaption(id));
        frame->setProperty(kPageIdProperty, static_cast<int>(id));
    }
    return frame;
}

DummyPage* CMyPropertySheet::TrackWarningPage() {
    return static_cast<DummyPage*>(Page(PageId::TrackWarning));
}

QSize CMyPropertySheet::RoomForPages() {
    // The window first opens with room for the largest page, so it keeps its
    // size whichever pages the model shows; a page never shrinks below what
    // its own layout needs, it scrolls instead.
    QSize room;
    for (PageId id : kAllPages) {
        room = room.expandedTo(DialogUnits(font(), DesignUnits(id)));
    }
    // Wide enough for the longest row of tabs, which the clock models show.
    const QSignalBlocker blocker(tabs_);
    for (PageId id : kAllPages) {
        tabs_->addTab(new QWidget, PageCaption(id));
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

std::optional<PageId> CMyPropertySheet::PageIdAt(int index) const {
    const QWidget* frame = tabs_->widget(index);
    if (frame == nullptr) {
        return std::nullopt;
    }
    if (const auto* page =
            qobject_cast<const CPropertyPage*>(static_cast<const QScrollArea*>(frame)->widget())) {
        return page->Id();
    }
    return static_cast<PageId>(frame->property(kPageIdProperty).toInt());
}

CPropertyPage* CMyPropertySheet::GetPage(int index) {
    auto* frame = qobject_cast<QScrollArea*>(tabs_->widget(index));
    if (frame == nullptr) {
        return nullptr;
    }
    if (auto* page = qobject_cast<CPropertyPage*>(frame->widget())) {
        return page;
    }
    // A tab whose page has not been shown yet: it is built now.
    return Page(static_cast<PageId>(frame->property(kPageIdProperty).toInt()));
}

QScrollArea* CMyPropertySheet::MakeFrame(const QString& caption) {
    // A page scrolls when the window is smaller than it, and grows with the
    // window when it is larger.
    auto* frame = new QScrollArea(this);
    frame->setObjectName(caption + QStringLiteral(" frame"));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWidgetResizable(true);
    // Tab goes from the tabs straight into the page; the frame follows the
    // focus as it moves through the page.
    frame->setFocusPolicy(Qt::NoFocus);
    frame->hide();
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
    if (!frames_.contains(page)) {
        QScrollArea* frame = MakeFrame(page->Caption());
        frame->setWidget(page);
        frames_.insert(page, frame);
    }
    AddTab(frames_.value(page), page->Caption());
}

void CMyPropertySheet::AddTab(QScrollArea* frame, const QString& caption) {
    if (tabs_->indexOf(frame) >= 0) {
        return;
    }
    const QSignalBlocker blocker(tabs_);
    tabs_->addTab(frame, caption);
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
    // Pages never shown stay unbuilt.
    const QSignalBlocker blocker(tabs_);
    while (GetPageCount() > 0) {
        QWidget* frame = tabs_->widget(GetPageCount() - 1);
        tabs_->removeTab(GetPageCount() - 1);
        frame->hide();
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
        if (PageIdAt(i) == id) {
            return SetActivePage(i);
        }
    }
    return false;
}

std::vector<PageId> CMyPropertySheet::PageSet() {
    std::vector<PageId> pages{PageId::TrackWarning};
    if (doc_.CountTracks(false) == 0) {
        return pages;
    }
    const CardConfig& config = *doc_.GetConfig();
    pages.insert(pages.end(),
                 {PageId::TrackSetup, PageId::Playlists, PageId::AudioSetup, PageId::InputSetup});
    if (config.HasAnimation()) {
        pages.insert(pages.end(), {PageId::AnimationInputSetup, PageId::AnimationControlSetup});
        if (config.HasClock()) {
            pages.push_back(PageId::Schedule);
        }
    }
    if (!doc_.SyncTracks(false).CardChanged()) {
        pages.erase(pages.begin());
    }
    return pages;
}

std::vector<PageId> CMyPropertySheet::ShownPages() const {
    std::vector<PageId> pages;
    for (int i = 0; i < GetPageCount(); ++i) {
        pages.push_back(*PageIdAt(i));
    }
    return pages;
}

void CMyPropertySheet::BuildPageSet(std::optional<PageId> front, bool storeLeaving) {
    RemoveAllPages(storeLeaving);
    BuildPageSet(front, false, PageSet());
}

void CMyPropertySheet::BuildPageSet(std::optional<PageId> front, bool storeLeaving,
                                    const std::vector<PageId>& pages) {
    RemoveAllPages(storeLeaving);
    for (const auto& [id, page] : pages_) {
        if (page != nullptr) {
            ConfigurePage(page);
        }
    }
    for (PageId id : pages) {
        AddTab(Frame(id), PageCaption(id));
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
    const std::vector<PageId> pages = PageSet();
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
