#pragma once

#include <QString>

// Fixed texts of the program's shell that more than one class shows.
namespace appstrings {

inline const QString kApplicationTitle = QStringLiteral("Cardwright");
// The main window's title after the document's name.
inline const QString kWindowTitle = QStringLiteral("TUNBOX Configuration");
inline const QString kIdlePrompt = QStringLiteral("Ready");
inline const QString kOpenFilter = QStringLiteral("TUNBOX Config Files (*.CFG)");
inline const QString kDefaultExtension = QStringLiteral("CFG");
inline const QString kConfigFileName = QStringLiteral("TUNBOX.CFG");
// The settings key: organisation and application, as the recent-file list
// has always been kept.
inline const QString kSettingsOrganisation = QStringLiteral("Hollenbrook TUNBOX Configuration");
inline const QString kSettingsApplication = QStringLiteral("Cardwright");
inline constexpr int kRecentFileCount = 4;

}  // namespace appstrings
