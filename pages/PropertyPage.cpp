#include "pages/PropertyPage.h"

#include "model/CardwrightDoc.h"

CPropertyPage::CPropertyPage(CCardwrightDoc& doc, const QString& caption, QWidget* parent)
    : QWidget(parent), doc_(doc), caption_(caption) {}

bool CPropertyPage::OnSetActive() {
    return true;
}

bool CPropertyPage::OnKillActive() {
    return Store();
}

bool CPropertyPage::OnFileSave() {
    if (!Store()) {
        return false;
    }
    return host_ != nullptr && host_->DocumentFileSave();
}

bool CPropertyPage::OnFileSaveAs() {
    if (!Store()) {
        return false;
    }
    return host_ != nullptr && host_->DocumentFileSaveAs();
}

bool CPropertyPage::Store() {
    const CCardwrightDoc::UserEdit edit(doc_);
    return StoreControls();
}

void CPropertyPage::RunEdit(const std::function<void()>& change) {
    const CCardwrightDoc::UserEdit edit(doc_);
    change();
}
