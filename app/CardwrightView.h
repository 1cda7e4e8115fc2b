#pragma once

#include <QPointer>
#include <QWidget>

#include "app/MyPropertySheet.h"
#include "model/CardConfig.h"

class CCardwrightDoc;
class Prompter;
class SaveCommands;

// The main window's only view: it hosts the property sheet, sizes itself to
// it, and passes the sheet the commands that concern the pages.
class CCardwrightView : public QWidget {
    Q_OBJECT

  public:
    CCardwrightView(CCardwrightDoc& doc, SaveCommands& save, Prompter& prompter,
                    QWidget* parent = nullptr);

    // A fresh sheet for a new or opened document.
    void OnInitialUpdate();
    bool CreateSheet();
    CMyPropertySheet* GetSheet() const { return sheet_; }

    bool OnFileSave();
    bool OnFileSaveAs();
    // Has the page in front store what it shows; false when it refuses.
    bool StoreActivePage();
    void OnPlayerType(PlayerModel model);
    void OnResetDefaults();
    bool IsPlayerTypeChecked(PlayerModel model) const;
    void OnBlinkCode(int commandId);

  private:
    CCardwrightDoc& doc_;
    SaveCommands& save_;
    Prompter& prompter_;
    QPointer<CMyPropertySheet> sheet_;
};
