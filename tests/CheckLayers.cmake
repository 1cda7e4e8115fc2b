# Fails when a source file includes from a folder above its own. The folders
# form layers: platform at the bottom, then model and the audio library beside
# it, then the card check and the command line beside the widget folders, then
# the program; calendar knows nothing of schedules or the card. Nothing in
# model/, platform/, media/, doctor/ or cli/ includes Qt.
#
#   cmake -DROOT=<source dir> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

set(allowed_platform platform)
set(allowed_model model platform)
set(allowed_media media platform)
# Adding audio to a card: the card core's plan, carried out by the audio library.
set(allowed_cardaudio cardaudio media model platform)
set(allowed_calendar calendar)
# The Schedule page is a page like the others: it builds on their base class.
set(allowed_schedule schedule pages calendar model platform)
set(allowed_pages pages cardaudio media model platform)
# The modules the window loads on demand implement what pages/ declares.
set(allowed_devices devices pages media model platform)
set(allowed_doctor doctor media model platform)
set(allowed_cli cli cardaudio doctor media model platform)
set(allowed_tools tools model platform)
set(allowed_app app pages schedule calendar doctor cardaudio media model platform)
set(qt_free platform model media cardaudio doctor cli)

set(faults "")
foreach(layer platform model media cardaudio doctor cli calendar schedule pages devices tools app)
  file(GLOB_RECURSE sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
    file(RELATIVE_PATH shown "${ROOT}" "${source}")
    foreach(line IN LISTS includes)
      if(line MATCHES "#[ \t]*include[ \t]*\"([A-Za-z_]+)/")
        list(FIND allowed_${layer} "${CMAKE_MATCH_1}" found)
        if(found LESS 0)
          string(APPEND faults "  ${shown}: ${line}\n")
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<Q" AND layer IN_LIST qt_free)
        string(APPEND faults "  ${shown}: ${line} (no Qt in ${layer}/)\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes that point up a layer:\n${faults}")
endif()
