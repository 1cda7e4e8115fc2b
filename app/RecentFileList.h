#pragma once

#include <QString>
#include <QStringList>

// The most recently opened or saved configuration files, newest first, kept
// in the program's settings so they survive a restart.
class RecentFileList {
  public:
    explicit RecentFileList(int size);

    const QStringList& Files() const { return files_; }
    // Puts `path` in front (once, by absolute path) and drops the oldest.
    void Add(const QString& path);
    void Remove(int index);

  private:
    void Load();
    void Save() const;

    int size_;
    QStringList files_;
};
