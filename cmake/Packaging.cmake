# What an end user downloads: LumbrelRestore-<version>-win32.zip, holding the
# program and the "Docs" folder it copies from, side by side at the top so
# that the program finds its documents wherever the archive is unpacked.
# `cpack` in the build folder writes the archive there.
if(NOT WIN32)
  return()
endif()

install(TARGETS lumbrel-restore RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/packaging/Docs DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(LUMBREL_PACKAGE_SYSTEM win32)
else()
  set(LUMBREL_PACKAGE_SYSTEM win64)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME LumbrelRestore)
set(CPACK_PACKAGE_VENDOR Tessaly)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quarnel Lumbrel Restore")
set(CPACK_PACKAGE_FILE_NAME LumbrelRestore-${PROJECT_VERSION}-${LUMBREL_PACKAGE_SYSTEM})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Symbols are of no use to the user and triple the download.
set(CPACK_STRIP_FILES ON)
include(CPack)
