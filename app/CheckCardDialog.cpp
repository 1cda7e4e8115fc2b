#include "app/CheckCardDialog.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

enum Column { kSeverity, kProblem, kFile };
constexpr int kFindingRole = Qt::UserRole;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

CheckCardDialog::CheckCardDialog(const std::filesystem::path& card, bool unsavedChanges,
                                 QWidget* parent)
    : QDialog(parent), card_(card), result_(std::make_shared<doctor::CheckResult>()) {
    setWindowTitle(QStringLiteral("Check Card"));
    status_ = new QLabel(QStringLiteral("Checking %1 ...").arg(Text(card.string())), this);
    status_->setObjectName(QStringLiteral("checkStatus"));
    status_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("checkProgress"));
    progress_->setRange(0, 0);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("findingList"));
    list_->setHeaderLabels(
        {QStringLiteral("Severity"), QStringLiteral("Problem"), QStringLiteral("File")});
    list_->setRootIsDecorated(false);
    // A finding wraps within its column rather than being cut short.
    list_->setWordWrap(true);
    // A long path gives up its middle, not the file's name.
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->setUniformRowHeights(false);
    list_->setMinimumSize(fontMetrics().averageCharWidth() * 130, fontMetrics().height() * 18);
    list_->header()->setSectionResizeMode(kSeverity, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(kProblem, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(kFile, QHeaderView::Interactive);
    list_->header()->setStretchLastSection(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    button_ = buttons->button(QDialogButtonBox::Cancel);
    button_->setObjectName(QStringLiteral("checkCloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &CheckCardDialog::reject);
    connect(list_, &QTreeWidget::itemActivated, this, &CheckCardDialog::OnActivated);

    auto* layout = new QVBoxLayout(this);
    if (unsavedChanges) {
        auto* scope = new QLabel(
            QStringLiteral("The card is checked as it was last saved: the changes not saved yet "
                           "are not included."),
            this);
        scope->setObjectName(QStringLiteral("checkScope"));
        scope->setWordWrap(true);
        layout->addWidget(scope);
    }
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);

    // The check runs on its own thread; what it says comes back queued, and
    // is dropped if the dialog has gone by then.
    doctor::CheckOptions options;
    options.cancel = &cancel_;
    options.progress = [this](int done, int total, const std::string& file) {
        const QString name = Text(file);
        QMetaObject::invokeMethod(
            this, [this, done, total, name] { OnProgress(done, total, name); },
            Qt::QueuedConnection);
    };
    auto result = result_;
    thread_ =
        QThread::create([card, options, result] { *result = doctor::CheckCard(card, options); });
    connect(thread_, &QThread::finished, this, &CheckCardDialog::OnFinished);
    thread_->start();
}

CheckCardDialog::~CheckCardDialog() {
    cancel_ = true;
    thread_->wait();
    delete thread_;
}

std::optional<PageId> CheckCardDialog::PageFor(const doctor::Finding& finding) {
    const std::string& id = finding.id;
    const auto starts = [&id](const char* prefix) { return id.rfind(prefix, 0) == 0; };
    if (starts("input-")) {
        return finding.problem.find("nimation input") != std::string::npos
                   ? PageId::AnimationInputSetup
                   : PageId::InputSetup;
    }
    if (starts("playlist-")) {
        return PageId::Playlists;
    }
    if (starts("schedule-")) {
        return PageId::Schedule;
    }
    if (starts("show-")) {
        return PageId::AnimationControlSetup;
    }
    if (starts("track-") || starts("end-action-") || starts("power-up-") ||
        id == "file-without-track") {
        return PageId::TrackSetup;
    }
    return std::nullopt;
}

void CheckCardDialog::OnProgress(int done, int total, const QString& file) {
    progress_->setRange(0, total);
    progress_->setValue(done);
    status_->setText(QStringLiteral("Checking %1 (%2 of %3)").arg(file).arg(done + 1).arg(total));
}

void CheckCardDialog::OnFinished() {
    finished_ = true;
    button_->setEnabled(true);
    if (closeWhenDone_) {
        QDialog::reject();
        return;
    }
    progress_->hide();
    button_->setText(QStringLiteral("Close"));
    std::vector<doctor::Finding> findings = result_->findings;
    doctor::SortWorstFirst(findings);
    for (const doctor::Finding& f : findings) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kSeverity, QString::fromLatin1(doctor::SeverityName(f.severity)));
        QString problem = Text(f.problem);
        if (f.blinkCount > 0) {
            problem += QStringLiteral(" (the player blinks %1 times)").arg(f.blinkCount);
        }
        item->setText(kProblem, problem);
        item->setText(kFile, Text(f.file));
        const std::optional<PageId> page = PageFor(f);
        // Rich text, so that the tip wraps instead of running off the screen.
        QString tip = QStringLiteral("<p>%1</p><p>What to do: %2</p>")
                          .arg(problem.toHtmlEscaped(), Text(f.action).toHtmlEscaped());
        if (page) {
            tip += QStringLiteral("<p>Double-click to open %1.</p>")
                       .arg(PageCaption(*page).toHtmlEscaped());
        }
        for (int column : {kSeverity, kProblem, kFile}) {
            item->setToolTip(column, tip);
        }
        if (page) {
            item->setData(kSeverity, kFindingRole, static_cast<int>(*page));
        }
    }
    if (result_->cancelled) {
        status_->setText(
            QStringLiteral("The check was cancelled; what it found so far is listed."));
    } else if (findings.empty()) {
        status_->setText(QStringLiteral("Nothing is wrong with %1.").arg(Text(card_.string())));
    } else {
        status_->setText(
            QStringLiteral("%1 found on %2. Double-click a line to go to the page that "
                           "fixes it; hold the mouse over it for what to do.")
                .arg(findings.size() == 1 ? QStringLiteral("One problem")
                                          : QStringLiteral("%1 problems").arg(findings.size()),
                     Text(card_.string())));
    }
    FitColumns();
    if (list_->topLevelItemCount() > 0) {
        list_->setCurrentItem(list_->topLevelItem(0));
        list_->setFocus();
    }
}

void CheckCardDialog::FitColumns() {
    // The file column takes what its names need, but never more than a third
    // of the list: the finding itself gets the rest and wraps within it.
    list_->resizeColumnToContents(kFile);
    const int most = list_->viewport()->width() / 3;
    if (list_->columnWidth(kFile) > most) {
        list_->setColumnWidth(kFile, most);
    }
    list_->doItemsLayout();
}

void CheckCardDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FitColumns();
}

void CheckCardDialog::OnActivated(QTreeWidgetItem* item) {
    const QVariant page = item->data(kSeverity, kFindingRole);
    if (page.isValid()) {
        emit GoToPage(static_cast<PageId>(page.toInt()));
        accept();
    }
}

void CheckCardDialog::reject() {
    // Cancel stops a running check, which shows what it found so far;
    // closing the window while it runs closes it once the check has stopped.
    if (!finished_) {
        cancel_ = true;
        button_->setEnabled(false);
        return;
    }
    QDialog::reject();
}

void CheckCardDialog::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        closeWhenDone_ = true;
        cancel_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
