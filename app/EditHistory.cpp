#include "app/EditHistory.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QUndoCommand>
#include <QWidget>

namespace {

// Enough for a long session; most steps hold a few words of the record.
constexpr int kStepLimit = 1000;

}  // namespace

class EditHistory::Step : public QUndoCommand {
  public:
    Step(EditHistory& history, const DocumentState& before, const DocumentState& after,
         const EditStep& step)
        : QUndoCommand(QString::fromStdString(step.name)),
          history_(history),
          change_(before, after),
          page_(PageFromKey(step.place)),
          source_(step.source),
          onCard_(step.onCard) {}

    int id() const override { return 1; }

    void undo() override {
        if (onCard_) {
            onCard_(true);
        }
        DocumentState state = history_.doc_.State();
        change_.Undo(state);
        history_.Apply(std::move(state), page_);
    }
    void redo() override {
        // The change itself has already been made.
        if (done_) {
            if (onCard_) {
                onCard_(false);
            }
            DocumentState state = history_.doc_.State();
            change_.Redo(state);
            history_.Apply(std::move(state), page_);
        }
        done_ = true;
    }

    // More typing in the field this step holds, before the field was left.
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const Step*>(other);
        if (source_ == nullptr || next->source_ != source_ || history_.typingIn_ != source_) {
            return false;
        }
        change_.Extend(next->change_);
        // Typed back to where it started: no step at all.
        setObsolete(change_.LeavesFilesAlone());
        return true;
    }

  private:
    EditHistory& history_;
    StateChange change_;
    std::optional<PageId> page_;
    const void* source_;
    std::function<void(bool undo)> onCard_;
    bool done_ = false;
};

EditHistory::EditHistory(CCardwrightDoc& doc, ShowPage show, QObject* parent)
    : QObject(parent), doc_(doc), show_(std::move(show)) {
    stack_.setUndoLimit(kStepLimit);
    doc_.SetEditListener(this);
    connect(&stack_, &QUndoStack::indexChanged, this, &EditHistory::UpdateModified);
    connect(&stack_, &QUndoStack::cleanChanged, this, &EditHistory::UpdateModified);
    // Leaving a field ends its typing step.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old != nullptr && old == typingIn_) {
            typingIn_ = nullptr;
        }
    });
}

EditHistory::~EditHistory() {
    doc_.SetEditListener(nullptr);
}

void EditHistory::Clear() {
    stack_.clear();
    typingIn_ = nullptr;
}

void EditHistory::MarkSaved() {
    // What is typed after the save is a change of its own, not more of the
    // step the save already holds.
    typingIn_ = nullptr;
    stack_.setClean();
}

void EditHistory::Edited(DocumentState before, const EditStep& step) {
    if (applying_) {
        return;
    }
    stack_.push(new Step(*this, before, doc_.State(), step));
    typingIn_ = step.source;
}

void EditHistory::Apply(DocumentState state, std::optional<PageId> page) {
    const QScopedValueRollback<bool> guard(applying_, true);
    typingIn_ = nullptr;
    doc_.Restore(std::move(state));
    if (show_) {
        show_(page);
    }
}

void EditHistory::UpdateModified() {
    doc_.SetEditsModified(!stack_.isClean());
}
