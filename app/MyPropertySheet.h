#pragma once

#include <QHash>
#include <QWidget>
#include <map>
#include <optional>
#include <vector>

#include "model/CardConfig.h"
#include "model/CardwrightDoc.h"
#include "pages/PropertyPage.h"

class CCardwrightDoc;
class SaveCommands;
class QScrollArea;
class QTabWidget;
class DummyPage;
class CAudioSetup;
class CInputSetup;
class CTrackSetup;
class CPlaylistSetup;
class SchedulePage;
class CMpuSetup;

// The tabbed sheet of setup pages. It builds the page set that fits the
// player model and the card, and tells each page when it comes to the front
// or leaves, is removed, or is saved from.
class CMyPropertySheet : public QWidget, public PageHost {
    Q_OBJECT

  public:
    CMyPropertySheet(CCardwrightDoc& doc, SaveCommands& save, QWidget* parent = nullptr);
    ~CMyPropertySheet() override;

    int GetPageCount() const;
    // The page of tab `index`, built if it was never shown.
    CPropertyPage* GetPage(int index);
    // Which page tab `index` holds, without building it.
    std::optional<PageId> PageIdAt(int index) const;
    CPropertyPage* GetActivePage() const { return active_; }
    int GetActiveIndex() const;
    // Brings page `index` to the front; false when the page in front refused
    // to be left.
    bool SetActivePage(int index);
    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page) override;
    QTabWidget* Tabs() const { return tabs_; }
    // The tab's page: the page inside its scroll area.
    int IndexOf(CPropertyPage* page) const;
    QScrollArea* FrameOf(CPropertyPage* page) const;
    // Room for every page whole.
    QSize sizeHint() const override;
    // The part of that room a page has.
    QSize PageRoom() const { return pageSize_; }

    // Clears the sheet and adds the pages of the current model and card.
    void BuildPageSet();
    // After the document was put back to an earlier state: the page set of
    // that state, with `front` in front (or the first page), showing it;
    // what the pages showed before is dropped.
    void ShowRestored(std::optional<PageId> front);
    // Brings the page to the front, if the sheet shows it; false when it
    // does not, or the page in front refused to be left.
    bool GoToPage(PageId id);
    void OnPlayerType(PlayerModel model);
    void OnResetDefaults();
    // File Save and Save As, through the page in front.
    SaveOutcome Save(SaveKind kind);
    bool OnFileSave();
    bool OnFileSaveAs();
    bool StoreActivePage();

    bool SaveDocument(SaveKind kind) override;

    DummyPage* TrackWarningPage();

  private:
    // The sheet's own page `id`, built the first time it is asked for.
    CPropertyPage* Page(PageId id);
    CPropertyPage* MakePage(PageId id);
    // What a page takes from the document and the model when it is built and
    // whenever the page set is built again.
    void ConfigurePage(CPropertyPage* page);
    // The scroll area that holds page `id` in its tab, built or not.
    QScrollArea* Frame(PageId id);
    QScrollArea* MakeFrame(const QString& caption);
    void AddTab(QScrollArea* frame, const QString& caption);
    // Room for the largest page, and for all the tabs in one row.
    QSize RoomForPages();
    bool SwitchTo(CPropertyPage* target);
    void ShowTab(CPropertyPage* page);
    void OnTabChanged(int index);
    void RemoveAllPages(bool store);
    void BuildPageSet(std::optional<PageId> front, bool storeLeaving);
    void BuildPageSet(std::optional<PageId> front, bool storeLeaving,
                      const std::vector<PageId>& pages);
    // The pages the model and the card call for, in tab order.
    std::vector<PageId> PageSet();
    std::vector<PageId> ShownPages() const;
    // A change made from the sheet, on the page in front.
    EditStep Step(const char* name) const;

    CCardwrightDoc& doc_;
    SaveCommands& save_;
    QTabWidget* tabs_;

    // Each page is built when it is first shown, and kept while pages come
    // and go.
    std::map<PageId, CPropertyPage*> pages_;
    std::map<PageId, QScrollArea*> idFrames_;
    QHash<CPropertyPage*, QScrollArea*> frames_;
    QSize pageSize_;
    CPropertyPage* active_ = nullptr;
    // The configuration as the page in front handed it to the last save.
    std::optional<CardConfig> savedFrom_;
    bool switching_ = false;
    bool restoring_ = false;  // showing a document an undo or redo brought back
    bool clearing_ = false;
};
