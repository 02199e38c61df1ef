# The stand-in answers for whatever Qt 6 version is installed beside it.
set(PACKAGE_VERSION "${Qt6_VERSION}")
set(PACKAGE_VERSION_COMPATIBLE TRUE)
if(PACKAGE_FIND_VERSION VERSION_EQUAL Qt6_VERSION)
  set(PACKAGE_VERSION_EXACT TRUE)
endif()
