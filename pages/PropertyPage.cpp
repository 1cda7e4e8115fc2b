#include "pages/PropertyPage.h"

CPropertyPage::CPropertyPage(CCardwrightDoc& doc, const QString& caption, QWidget* parent)
    : QWidget(parent), doc_(doc), caption_(caption) {}

bool CPropertyPage::OnSetActive() {
    return true;
}

bool CPropertyPage::OnKillActive() {
    return StoreControls();
}

bool CPropertyPage::OnFileSave() {
    if (!StoreControls()) {
        return false;
    }
    return host_ != nullptr && host_->DocumentFileSave();
}

bool CPropertyPage::OnFileSaveAs() {
    if (!StoreControls()) {
        return false;
    }
    return host_ != nullptr && host_->DocumentFileSaveAs();
}
