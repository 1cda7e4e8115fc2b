#include "app/CardwrightView.h"

#include <QVBoxLayout>

#include "app/MyPropertySheet.h"
#include "model/BlinkCodes.h"
#include "model/CardwrightDoc.h"
#include "model/Prompter.h"

CCardwrightView::CCardwrightView(CCardwrightDoc& doc, SaveCommands& save, Prompter& prompter,
                                 QWidget* parent)
    : QWidget(parent), doc_(doc), save_(save), prompter_(prompter) {
    setObjectName(QStringLiteral("cardwrightView"));
    // The sheet fills the view, whatever size the window is given.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void CCardwrightView::OnInitialUpdate() {
    CreateSheet();
}

bool CCardwrightView::CreateSheet() {
    delete sheet_.data();
    sheet_ = new CMyPropertySheet(doc_, save_, this);
    layout()->addWidget(sheet_);
    sheet_->show();
    return true;
}

bool CCardwrightView::OnFileSave() {
    return sheet_ != nullptr && sheet_->OnFileSave();
}

bool CCardwrightView::StoreActivePage() {
    return sheet_ == nullptr || sheet_->StoreActivePage();
}

bool CCardwrightView::OnFileSaveAs() {
    return sheet_ != nullptr && sheet_->OnFileSaveAs();
}

void CCardwrightView::OnPlayerType(PlayerModel model) {
    if (sheet_ != nullptr) {
        sheet_->OnPlayerType(model);
    }
}

void CCardwrightView::OnResetDefaults() {
    if (sheet_ != nullptr) {
        sheet_->OnResetDefaults();
    }
}

bool CCardwrightView::IsPlayerTypeChecked(PlayerModel model) const {
    return doc_.GetConfig()->IsModel(model);
}

void CCardwrightView::OnBlinkCode(int commandId) {
    for (const BlinkCode& code : BlinkCodes()) {
        if (code.commandId == commandId) {
            prompter_.Ask(code.explanation, Prompter::Buttons::Ok, Prompter::Icon::None);
            return;
        }
    }
}
