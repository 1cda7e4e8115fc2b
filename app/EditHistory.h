#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>

#include "model/CardwrightDoc.h"
#include "pages/PropertyPage.h"

// The document's undo history: one step per change of the user's, each
// holding what it changed in the document, before and after. Undoing or redoing puts
// the document back to that state and shows it on the page where the change
// was made. The history's saved point drives the document's modified flag,
// so undoing back to what was saved leaves nothing to save.
class EditHistory : public QObject, public EditListener {
    Q_OBJECT

  public:
    // `show` brings the given page to the front (the first page when there
    // is none, or the sheet does not show it), showing the document as it now
    // is and storing nothing of what the pages showed before.
    using ShowPage = std::function<void(std::optional<PageId> page)>;
    EditHistory(CCardwrightDoc& doc, ShowPage show, QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoStack& Stack() { return stack_; }
    // A new or opened document starts with no history.
    void Clear();
    // The document as it is now is what the card holds.
    void MarkSaved();

    void Edited(DocumentState before, const EditStep& step) override;
    void ModifiedChanged() override { emit ModifiedFlagChanged(); }

  signals:
    void ModifiedFlagChanged();

  private:
    class Step;
    void Apply(DocumentState state, std::optional<PageId> page);
    void UpdateModified();

    CCardwrightDoc& doc_;
    ShowPage show_;
    QUndoStack stack_;
    // The field whose typing the last step holds, while it has the focus.
    const void* typingIn_ = nullptr;
    bool applying_ = false;
};
