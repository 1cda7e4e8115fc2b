#pragma once

#include "pages/PropertyPage.h"

// "Playlists": the eight playlists the inputs play from.
class CPlaylistSetup : public CPropertyPage {
    Q_OBJECT

  public:
    explicit CPlaylistSetup(CCardwrightDoc& doc, QWidget* parent = nullptr);
};
