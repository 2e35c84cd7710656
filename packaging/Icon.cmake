# SPDX-License-Identifier: GPL-3.0-or-later
# tarvel_add_icon(target): gives target the program icon, as the Qt resources
# :/icons/tarvel.ico and :/icons/tarvel-<size>.png.
function(tarvel_add_icon target)
  set(dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/icons")
  set(files "${dir}/tarvel.ico")
  foreach(size 16 32 48 128 256)
    list(APPEND files "${dir}/tarvel-${size}.png")
  endforeach()
  qt_add_resources(${target} tarvel_icons PREFIX "/icons" BASE "${dir}" FILES ${files})
endfunction()

# tarvel_add_windows_resources(target description): on Windows, gives the
# executable the program icon and a version resource, which Explorer shows
# for the file and in its properties, and the application manifest.
function(tarvel_add_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  # The icon's path is written out whole: rc.exe and windres look up relative
  # paths in different places.
  set(icon "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/icons/tarvel.ico")
  set(manifest "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/windows/tarvel.manifest")
  set(name "$<TARGET_FILE_NAME:${target}>")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc")
  file(CONFIGURE OUTPUT "${rc}.in" @ONLY CONTENT [=[
#include <windows.h>

IDI_ICON1 ICON "@icon@"
CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST "@manifest@"

VS_VERSION_INFO VERSIONINFO
FILEVERSION @PROJECT_VERSION_MAJOR@,@PROJECT_VERSION_MINOR@,@PROJECT_VERSION_PATCH@,0
PRODUCTVERSION @PROJECT_VERSION_MAJOR@,@PROJECT_VERSION_MINOR@,@PROJECT_VERSION_PATCH@,0
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "CompanyName", "Tarvel maintainers"
      VALUE "FileDescription", "@description@"
      VALUE "FileVersion", "@PROJECT_VERSION@"
      VALUE "InternalName", "@target@"
      VALUE "OriginalFilename", "@name@"
      VALUE "ProductName", "Tarvel"
      VALUE "ProductVersion", "@PROJECT_VERSION@"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
]=])
  file(GENERATE OUTPUT "${rc}" INPUT "${rc}.in")
  target_sources(${target} PRIVATE "${rc}")
  set_property(SOURCE "${rc}" APPEND PROPERTY OBJECT_DEPENDS "${manifest}")
endfunction()
