#pragma once

#include <optional>

#include "pages/PropertyPage.h"

// What the application asks of the window that shows its document: to show
// a new state of it, to have the page in front store or save what it shows,
// and to show that the document's name, state or recent files changed.
class DocumentWindow {
  public:
    virtual ~DocumentWindow() = default;

    // A fresh sheet of pages for a new or opened document.
    virtual void ShowNewDocument() = 0;
    // The document was put back to an earlier state: `page` (or the first)
    // comes to the front showing it, and nothing the pages showed is stored.
    virtual void ShowRestored(std::optional<PageId> page) = 0;
    // Has the page in front store what it shows; false when it refuses.
    virtual bool StoreActivePage() = 0;
    // File Save through the page in front, so that what it shows is saved.
    virtual bool SaveFromActivePage() = 0;
    // The document's name, modified state or player model changed.
    virtual void DocumentChanged() = 0;
    virtual void RecentFilesChanged() = 0;
    // The user asked for the document already open: the window comes forward.
    virtual void BringForward() = 0;
};
