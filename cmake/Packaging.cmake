# Two Debian packages from one build: `cardwright`, the window with its
# desktop entry, MIME type, icon and AppStream metainfo (install component
# gui), and `cardwright-cli`, the command line with its manual page and bash
# completion (component cli), which a server preparing cards installs alone.
#
#   cmake -S . -B build/rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DCARDWRIGHT_BUILD_TESTS=OFF
#   cmake --build build/rel -j2 && cd build/rel && cpack -G DEB
set(CPACK_PACKAGE_NAME cardwright)
set(CPACK_PACKAGE_VENDOR "The Cardwright developers")
set(CPACK_PACKAGE_CONTACT "The Cardwright developers <cardwright@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli)
if(CARDWRIGHT_BUILD_GUI)
  list(APPEND CPACK_COMPONENTS_ALL gui)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The libraries each program and module links (Qt, the C++ runtime) are
# found by dpkg-shlibdeps, with the versions this build needs. libsndfile and
# libmpg123 are loaded when audio is first read, where dpkg-shlibdeps cannot
# see them, so both packages name them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CARDWRIGHT_AUDIO_DEPENDS "libsndfile1 (>= 1.0.31), libmpg123-0 (>= 1.28.0)")

set(CPACK_DEBIAN_GUI_PACKAGE_NAME cardwright)
# Qt finds its platform plugins at run time, where dpkg-shlibdeps cannot see
# them; libqt6gui6 only recommends them, so a machine installing without
# recommends would get a window that cannot open.
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "qt6-qpa-plugins, ${CARDWRIGHT_AUDIO_DEPENDS}")
set(CPACK_DEBIAN_GUI_PACKAGE_SUGGESTS cardwright-cli)
# Each description: its summary line, then the text under it.
set(CPACK_DEBIAN_GUI_DESCRIPTION
    "configurator for the memory card of a TUNBOX audio player
Cardwright opens the configuration on a TUNBOX player's memory card and
edits its tracks, playlists, levels, control inputs, animation outputs and
schedules on pages that fit the player model, then writes the card files
back as the player reads them. Check Card finds what would keep the player
from starting or a track from playing.")

set(CPACK_DEBIAN_CLI_PACKAGE_NAME cardwright-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "${CARDWRIGHT_AUDIO_DEPENDS}")
set(CPACK_DEBIAN_CLI_DESCRIPTION
    "check and script the memory cards of TUNBOX audio players
cardwright-cli checks a TUNBOX player's card as the player reads it, shows
and compares its settings as JSON or text, and writes settings from a JSON
file onto it, as the Cardwright window saves it. It needs no display, for
scripts and CI that prepare many cards.")

include(CPack)
