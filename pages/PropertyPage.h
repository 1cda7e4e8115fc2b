#pragma once

#include <QString>
#include <QWidget>

class CCardwrightDoc;
class CPropertyPage;

// What a page may ask of the property sheet that holds it.
class PageHost {
  public:
    virtual ~PageHost() = default;
    // Takes the page out of the sheet; the page object lives on.
    virtual void RemovePage(CPropertyPage* page) = 0;
    // The document's own Save and Save As; true when the file was written.
    virtual bool DocumentFileSave() = 0;
    virtual bool DocumentFileSaveAs() = 0;
};

// One tab of the property sheet. The sheet calls OnSetActive when the page
// comes to the front and OnKillActive before it leaves; a page that cannot
// store what the user typed refuses, and the sheet keeps it in front. Pages
// own nothing lasting: they load from the document when activated and store
// back into it when left or saved from.
class CPropertyPage : public QWidget {
    Q_OBJECT

  public:
    CPropertyPage(CCardwrightDoc& doc, const QString& caption, QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void SetHost(PageHost* host) { host_ = host; }
    PageHost* Host() const { return host_; }
    CCardwrightDoc& Document() const { return doc_; }

    // Loads the controls from the document.
    virtual bool OnSetActive();
    // Stores the controls; false keeps the page in front.
    virtual bool OnKillActive();
    // Store as when left, then the document's Save or Save As.
    virtual bool OnFileSave();
    virtual bool OnFileSaveAs();

  protected:
    // Reads the controls into the document; false (after telling the user)
    // when a value is refused. Pages without settings store nothing.
    virtual bool StoreControls() { return true; }

  private:
    CCardwrightDoc& doc_;
    QString caption_;
    PageHost* host_ = nullptr;
};
