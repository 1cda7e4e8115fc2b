#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>

#include "doctor/CardCheck.h"
#include "pages/PropertyPage.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

// "Check Card": looks a card over as the player would, off the window's
// thread, and lists what it finds, the worst first. Double-clicking a finding
// asks for the page that fixes it.
class CheckCardDialog : public QDialog {
    Q_OBJECT

  public:
    // `unsavedChanges`: the document holds changes the card does not, which
    // the dialog says it leaves out.
    CheckCardDialog(const std::filesystem::path& card, bool unsavedChanges,
                    QWidget* parent = nullptr);
    ~CheckCardDialog() override;

    // The page that fixes a finding of this kind, if one does.
    static std::optional<PageId> PageFor(const doctor::Finding& finding);
    // Whether the check has ended (done or cancelled).
    bool Finished() const { return finished_; }

  signals:
    void GoToPage(PageId page);

  protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FitColumns();
    void OnProgress(int done, int total, const QString& file);
    void OnFinished();
    void OnActivated(QTreeWidgetItem* item);

    std::filesystem::path card_;
    std::atomic<bool> cancel_{false};
    std::shared_ptr<doctor::CheckResult> result_;
    QThread* thread_ = nullptr;
    bool finished_ = false;
    bool closeWhenDone_ = false;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* button_ = nullptr;
};
