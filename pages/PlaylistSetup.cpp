#include "pages/PlaylistSetup.h"

CPlaylistSetup::CPlaylistSetup(CCardwrightDoc& doc, QWidget* parent)
    : CPropertyPage(doc, QStringLiteral("Playlists"), parent) {}
