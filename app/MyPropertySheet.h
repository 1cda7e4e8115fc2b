#pragma once

#include <QHash>
#include <QWidget>
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
    CPropertyPage* GetPage(int index) const;
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

    DummyPage* TrackWarningPage() const { return warningPage_; }

  private:
    QScrollArea* MakeFrame(CPropertyPage* page);
    // Room for the largest of `pages`, and for all their tabs in one row.
    QSize RoomForPages(const std::vector<CPropertyPage*>& pages);
    bool SwitchTo(CPropertyPage* target);
    void ShowTab(CPropertyPage* page);
    void OnTabChanged(int index);
    void RemoveAllPages(bool store);
    void BuildPageSet(std::optional<PageId> front, bool storeLeaving);
    void BuildPageSet(std::optional<PageId> front, bool storeLeaving,
                      const std::vector<CPropertyPage*>& pages);
    // The pages the model and the card call for, in tab order.
    std::vector<CPropertyPage*> PageSet();
    std::vector<CPropertyPage*> ShownPages() const;
    // A change made from the sheet, on the page in front.
    EditStep Step(const char* name) const;

    CCardwrightDoc& doc_;
    SaveCommands& save_;
    QTabWidget* tabs_;

    // Constructed once, in this order, and kept while pages come and go.
    DummyPage* warningPage_;
    CAudioSetup* audioPage_;
    CInputSetup* inputPage_;
    CInputSetup* animationInputPage_;
    CTrackSetup* trackPage_;
    CPlaylistSetup* playlistPage_;
    SchedulePage* schedulePage_;
    CMpuSetup* animationPage_;

    QHash<CPropertyPage*, QScrollArea*> frames_;
    QSize pageSize_;
    CPropertyPage* active_ = nullptr;
    // The configuration as the page in front handed it to the last save.
    std::optional<CardConfig> savedFrom_;
    bool switching_ = false;
    bool restoring_ = false;  // showing a document an undo or redo brought back
    bool clearing_ = false;
};
