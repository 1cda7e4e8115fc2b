#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "model/Prompter.h"

class CCardwrightDoc;
class CPropertyPage;

// The pages the sheet may show. The program knows a page by this; the
// caption is only the text its tab shows the user.
enum class PageId {
    TrackWarning,
    AudioSetup,
    InputSetup,
    AnimationInputSetup,
    TrackSetup,
    Playlists,
    Schedule,
    AnimationControlSetup,
};

// The text of the page's tab.
QString PageCaption(PageId id);
// The name an undo step records its page by, and back; nullopt for a name
// that is no page's (a change made with no page in front).
std::string PageKey(PageId id);
std::optional<PageId> PageFromKey(const std::string& key);

// File Save writes to the document's own path (asking for one when it has
// none); Save As always asks.
enum class SaveKind { Save, SaveAs };

// How a save started from a page ended.
enum class SaveOutcome {
    Saved,
    NotSaved,  // the file dialog was cancelled, or the card did not take the files
    Refused,   // the page would not store what the user typed: no save was tried
};

// What a page may ask of the property sheet that holds it.
class PageHost {
  public:
    virtual ~PageHost() = default;
    // Takes the page out of the sheet; the page object lives on.
    virtual void RemovePage(CPropertyPage* page) = 0;
    // The document's own Save or Save As; true when the files were written.
    virtual bool SaveDocument(SaveKind kind) = 0;
};

// One tab of the property sheet. The sheet calls OnSetActive when the page
// comes to the front and OnKillActive before it leaves; a page that cannot
// store what the user typed refuses, and the sheet keeps it in front. Pages
// own nothing lasting: they load from the document when activated and store
// back into it when left or saved from.
//
// Every change the user makes marks the document modified, so that New,
// Open and Exit ask to save it, and is one step of the undo history; looking
// does not. A page stores each change as it is made, from a control
// connected with ConnectEdit or StoreOnChange, and what StoreControls stores
// when the page is left or saved from counts as the user's change too. A
// step takes its name from the control it was made with: a button's text,
// or "Change " and the label naming the control.
class CPropertyPage : public QWidget {
    Q_OBJECT

  public:
    CPropertyPage(CCardwrightDoc& doc, PageId id, QWidget* parent = nullptr);

    PageId Id() const { return id_; }
    const QString& Caption() const { return caption_; }
    void SetHost(PageHost* host) { host_ = host; }
    PageHost* Host() const { return host_; }
    CCardwrightDoc& Document() const { return doc_; }

    // Runs before the user brings the page to the front, never when an undo
    // does: a page that shows tracks brings the track list in line with the
    // card here, so that showing a page never changes the document.
    virtual void BeforeShow() {}
    // Loads the controls from the document.
    virtual bool OnSetActive();
    // Stores the controls; false keeps the page in front.
    virtual bool OnKillActive();
    // File Save and Save As from this page: it stores what it shows, as when
    // it is left, then the document saves; AfterSave follows any save tried.
    SaveOutcome OnFileSave(SaveKind kind);
    // StoreControls, as a change of the user's; false (after telling the
    // user) when a value is refused.
    bool Store();

  protected:
    // Reads the controls into the document; false (after telling the user)
    // when a value is refused. Pages without settings store nothing.
    virtual bool StoreControls() { return true; }
    // What a page brings up to date before the document is written, and
    // shows afresh after a save was tried (saved or not).
    virtual void BeforeSave() {}
    virtual void AfterSave(SaveKind /*kind*/, bool /*saved*/) {}

    // Tells the user something, through the document's prompter.
    void Tell(const QString& text, Prompter::Icon icon = Prompter::Icon::None);

    // Runs `change`, something the user did on the page, as the step
    // `name`; when it alters what a save writes, the document is marked
    // modified. Successive changes from the same `source` (a field, arrows,
    // a list; not a button) count as one step until the focus leaves it.
    void RunEdit(const QString& name, const std::function<void()>& change,
                 const QObject* source = nullptr);
    // Connects a control's signal to such a change, named after the control.
    // A signal that only picks what the page shows (another track, another
    // playlist) is connected plainly.
    template <typename Sender, typename Signal, typename Change>
    void ConnectEdit(Sender* sender, Signal signal, Change change) {
        connect(sender, signal, this, [this, sender, change] {
            RunEdit(StepName(sender), change, TypingSource(sender));
        });
    }
    // For pages that store their controls together: the page stores itself
    // after each change made with one of `controls` (a field when it is left
    // or Return is pressed, arrows at each step, a box or button when
    // clicked, a list when an entry is chosen).
    void StoreOnChange(std::initializer_list<QWidget*> controls);
    // The name of a change made with `control`.
    QString StepName(const QObject* control) const;

  private:
    // `control` when successive changes made with it merge into one step.
    static const QObject* TypingSource(const QObject* control);
    // Store, as the step of a change made with `control`.
    bool StoreAfter(const QObject* control);

    CCardwrightDoc& doc_;
    PageId id_;
    QString caption_;
    PageHost* host_ = nullptr;
    bool storing_ = false;
};
