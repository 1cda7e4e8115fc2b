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

SaveOutcome CPropertyPage::OnFileSave(SaveKind kind) {
    if (!Store()) {
        return SaveOutcome::Refused;
    }
    BeforeSave();
    const bool saved = host_ != nullptr && host_->SaveDocument(kind);
    AfterSave(kind, saved);
    return saved ? SaveOutcome::Saved : SaveOutcome::NotSaved;
}

bool CPropertyPage::Store() {
    const CCardwrightDoc::UserEdit edit(doc_);
    return StoreControls();
}

void CPropertyPage::RunEdit(const std::function<void()>& change) {
    const CCardwrightDoc::UserEdit edit(doc_);
    change();
}

void CPropertyPage::Tell(const QString& text, Prompter::Icon icon) {
    doc_.GetPrompter().Tell(text.toStdString(), icon);
}
