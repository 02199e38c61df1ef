# Describes the installed Qt 6 OpenGL library for machines that have it without its CMake files
# (Debian's qt6-charts-dev needs them but does not pull in libqt6opengl6-dev). Qt Charts only
# links it; nothing here includes its headers.
find_library(_tillbook_qt6_opengl NAMES Qt6OpenGL libQt6OpenGL.so.6)
if(_tillbook_qt6_opengl AND NOT TARGET Qt6::OpenGL)
  add_library(Qt6::OpenGL SHARED IMPORTED)
  set_target_properties(Qt6::OpenGL PROPERTIES
    IMPORTED_LOCATION "${_tillbook_qt6_opengl}"
    INTERFACE_LINK_LIBRARIES Qt6::Gui)
  add_library(Qt::OpenGL INTERFACE IMPORTED)
  set_target_properties(Qt::OpenGL PROPERTIES INTERFACE_LINK_LIBRARIES Qt6::OpenGL)
endif()
if(TARGET Qt6::OpenGL)
  set(Qt6OpenGL_FOUND TRUE)
else()
  set(Qt6OpenGL_FOUND FALSE)
endif()
