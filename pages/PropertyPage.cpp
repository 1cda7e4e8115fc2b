#include "pages/PropertyPage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "model/CardwrightDoc.h"
#include "pages/PageFields.h"

namespace {

// A control's text as a step names it: no mnemonic marks, no trailing
// ellipsis, colon or arrow, on one line.
QString PlainText(const QString& marked) {
    QString text = pagefields::WithoutMnemonic(marked).simplified();
    while (!text.isEmpty() && QStringLiteral(".:-> \u2026").contains(text.back())) {
        text.chop(1);
    }
    return text;
}

struct PageName {
    PageId id;
    const char* caption;
    const char* key;
};

constexpr PageName kPageNames[] = {
    {PageId::TrackWarning, "Track Warning", "trackWarning"},
    {PageId::AudioSetup, "Audio Setup", "audioSetup"},
    {PageId::InputSetup, "Input Setup", "inputSetup"},
    {PageId::AnimationInputSetup, "Animation Input Setup", "animationInputSetup"},
    {PageId::TrackSetup, "Track Setup", "trackSetup"},
    {PageId::Playlists, "Playlists", "playlists"},
    {PageId::Schedule, "Schedule", "schedule"},
    {PageId::AnimationControlSetup, "Animation Control Setup", "animationControlSetup"},
};

const PageName& NameOf(PageId id) {
    for (const PageName& name : kPageNames) {
        if (name.id == id) {
            return name;
        }
    }
    Q_UNREACHABLE();
}

}  // namespace

QString PageCaption(PageId id) {
    return QString::fromLatin1(NameOf(id).caption);
}

std::string PageKey(PageId id) {
    return NameOf(id).key;
}

std::optional<PageId> PageFromKey(const std::string& key) {
    for (const PageName& name : kPageNames) {
        if (key == name.key) {
            return name.id;
        }
    }
    return std::nullopt;
}

CPropertyPage::CPropertyPage(CCardwrightDoc& doc, PageId id, QWidget* parent)
    : QWidget(parent), doc_(doc), id_(id), caption_(PageCaption(id)) {}

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
    // Named after the field being typed in, if any: that is what the user
    // last changed.
    QWidget* focus = QApplication::focusWidget();
    const bool typing = focus != nullptr && isAncestorOf(focus) && TypingSource(focus) != nullptr;
    return StoreAfter(typing ? focus : nullptr);
}

bool CPropertyPage::StoreAfter(const QObject* control) {
    // A refusal's message takes the focus from the field, which would store
    // again: one store at a time.
    if (storing_) {
        return false;
    }
    const QScopedValueRollback<bool> guard(storing_, true);
    const QString name =
        control != nullptr ? StepName(control) : QStringLiteral("Change ") + caption_;
    const CCardwrightDoc::UserEdit edit(doc_,
                                        {name.toStdString(), PageKey(id_), TypingSource(control)});
    return StoreControls();
}

void CPropertyPage::RunEdit(const QString& name, const std::function<void()>& change,
                            const QObject* source) {
    const CCardwrightDoc::UserEdit edit(doc_, {name.toStdString(), PageKey(id_), source});
    change();
}

void CPropertyPage::StoreOnChange(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls) {
        const auto store = [this, control] { StoreAfter(control); };
        if (auto* arrows = qobject_cast<ArrowSpin*>(control)) {
            connect(arrows, &ArrowSpin::Stepped, this, store);
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            // Not when the window loses the keyboard: the user has not left
            // the field, only gone to another window.
            connect(edit, &QLineEdit::editingFinished, this, [this, store] {
                if (isActiveWindow()) {
                    store();
                }
            });
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            connect(button, &QAbstractButton::clicked, this, store);
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            connect(combo, &QComboBox::activated, this, store);
        }
    }
}

const QObject* CPropertyPage::TypingSource(const QObject* control) {
    // A field typed in, arrows or a list stepped with the keys make a run of
    // changes the user sees as one; a button makes one change a click.
    return qobject_cast<const QWidget*>(control) != nullptr &&
                   qobject_cast<const QAbstractButton*>(control) == nullptr
               ? control
               : nullptr;
}

QString CPropertyPage::StepName(const QObject* control) const {
    if (const auto* group = qobject_cast<const QButtonGroup*>(control)) {
        control = group->checkedButton() != nullptr
                      ? static_cast<const QObject*>(group->checkedButton())
                      : group->parent();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control);
        button != nullptr && !PlainText(button->text()).isEmpty()) {
        return PlainText(button->text());
    }
    // Arrows are named after the field they step.
    if (const auto* arrows = qobject_cast<const ArrowSpin*>(control);
        arrows != nullptr && arrows->Edit() != nullptr) {
        control = arrows->Edit();
    }
    if (const auto* widget = qobject_cast<const QWidget*>(control);
        widget != nullptr && !widget->accessibleName().isEmpty()) {
        return QStringLiteral("Change ") + widget->accessibleName();
    }
    for (const QLabel* label : findChildren<QLabel*>()) {
        if (label->buddy() == control && !PlainText(label->text()).isEmpty()) {
            return QStringLiteral("Change ") + PlainText(label->text());
        }
    }
    for (const QObject* p = control != nullptr ? control->parent() : nullptr;
         p != nullptr && p != this; p = p->parent()) {
        if (const auto* box = qobject_cast<const QGroupBox*>(p);
            box != nullptr && !PlainText(box->title()).isEmpty()) {
            return QStringLiteral("Change ") + PlainText(box->title());
        }
    }
    return QStringLiteral("Change ") + caption_;
}

void CPropertyPage::Tell(const QString& text, Prompter::Icon icon) {
    doc_.GetPrompter().Tell(text.toStdString(), icon);
}
