# tarvel_add_icon(target): gives target the program icon, as the Qt resources
# :/icons/tarvel.ico and :/icons/tarvel-<size>.png and, on Windows, as the
# executable's own icon resource.
function(tarvel_add_icon target)
  set(dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/icons")
  set(files "${dir}/tarvel.ico")
  foreach(size 16 32 48 128 256)
    list(APPEND files "${dir}/tarvel-${size}.png")
  endforeach()
  qt_add_resources(${target} tarvel_icons PREFIX "/icons" BASE "${dir}" FILES ${files})
  if(WIN32)
    # The icon's path is written out whole: rc.exe and windres look up relative
    # paths in different places.
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_icon.rc")
    file(CONFIGURE OUTPUT "${rc}" CONTENT "IDI_ICON1 ICON \"${dir}/tarvel.ico\"\n")
    target_sources(${target} PRIVATE "${rc}")
  endif()
endfunction()
