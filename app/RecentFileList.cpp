#include "app/RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

#include "app/AppStrings.h"

namespace {

const QString kGroup = QStringLiteral("Recent File List");

}  // namespace

RecentFileList::RecentFileList(int size) : size_(size) {
    Load();
}

void RecentFileList::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Opening the file at the top again changes nothing worth a rewrite.
    if (!files_.isEmpty() && files_.first() == absolute) {
        return;
    }
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > size_) {
        files_.removeLast();
    }
    Save();
}

void RecentFileList::Remove(int index) {
    if (index >= 0 && index < files_.size()) {
        files_.removeAt(index);
        Save();
    }
}

void RecentFileList::Load() {
    QSettings settings(appstrings::kSettingsOrganisation, appstrings::kSettingsApplication);
    settings.beginGroup(kGroup);
    for (int i = 1; i <= size_; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty() && !files_.contains(file)) {
            files_.append(file);
        }
    }
}

void RecentFileList::Save() const {
    QSettings settings(appstrings::kSettingsOrganisation, appstrings::kSettingsApplication);
    settings.remove(kGroup);
    settings.beginGroup(kGroup);
    for (int i = 0; i < files_.size(); ++i) {
        settings.setValue(QStringLiteral("File%1").arg(i + 1), files_[i]);
    }
}
