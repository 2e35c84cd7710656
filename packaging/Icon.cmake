# tarvel_add_icon(target): gives target the program icon, as the Qt resources
# :/icons/tarvel.ico and :/icons/tarvel-<size>.png and, on Windows, as the
# executable's own icon resource.
set(TARVEL_ICON_DIR "${CMAKE_CURRENT_LIST_DIR}/icons")
set(TARVEL_ICON_SIZES 16 32 48 128 256)

function(tarvel_add_icon target)
  set(files "${TARVEL_ICON_DIR}/tarvel.ico")
  foreach(size IN LISTS TARVEL_ICON_SIZES)
    list(APPEND files "${TARVEL_ICON_DIR}/tarvel-${size}.png")
  endforeach()
  qt_add_resources(${target} tarvel_icons PREFIX "/icons" BASE "${TARVEL_ICON_DIR}" FILES ${files})
  if(WIN32)
    target_sources(${target} PRIVATE "${TARVEL_ICON_DIR}/tarvel.rc")
  endif()
endfunction()
