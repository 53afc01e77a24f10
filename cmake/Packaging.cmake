# What an end user downloads: LumbrelRestore-<version>-win32.zip, holding the
# program and the "Docs" folder it copies from, side by side at the top so
# that the program finds its documents wherever the archive is unpacked, with
# README.txt and THIRD-PARTY-NOTICES.txt beside them. `cpack` in the build
# folder (the package target, which the win32 build preset builds) writes the
# archive there, and its SHA-256 beside it.
if(NOT WIN32)
  return()
endif()

install(TARGETS lumbrel-restore RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/packaging/Docs DESTINATION .)

# README.md's end-user part, and the licences of the libraries the link map
# shows linked into the program, as their Debian packages state them.
set(link_map ${CMAKE_BINARY_DIR}/LumbrelRestore.map)
target_link_options(lumbrel-restore PRIVATE -Wl,-Map=${link_map})
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
add_custom_command(
  OUTPUT README.txt
  COMMAND ${packaging}/end-user-readme ${CMAKE_SOURCE_DIR}/README.md ${PROJECT_VERSION}
          README.txt
  DEPENDS ${packaging}/end-user-readme ${CMAKE_SOURCE_DIR}/README.md
  VERBATIM)
add_custom_command(
  OUTPUT THIRD-PARTY-NOTICES.txt
  COMMAND ${packaging}/third-party-notices ${link_map} ${PROJECT_VERSION}
          THIRD-PARTY-NOTICES.txt
  DEPENDS ${packaging}/third-party-notices lumbrel-restore
  VERBATIM)
add_custom_target(end_user_texts ALL DEPENDS README.txt THIRD-PARTY-NOTICES.txt)
install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/THIRD-PARTY-NOTICES.txt
        DESTINATION .)

# One time for every timestamp (SourceDateEpoch.cmake): the linker's, and
# cpack's for strip, which stamps the program's header again, and for the
# archive's entries (RepackDownload.cmake).
set_property(TARGET lumbrel-restore PROPERTY CXX_LINKER_LAUNCHER
             ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${LUMBREL_SOURCE_DATE_EPOCH})
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/CPackEnvironment.cmake
     CONTENT "set(ENV{SOURCE_DATE_EPOCH} @LUMBREL_SOURCE_DATE_EPOCH@)\n" @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackEnvironment.cmake)

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
# The stripped program is signed, when a certificate is given, before it is
# packed (SignProgram.cmake); the archive is then written again in a fixed
# form (RepackDownload.cmake) before cpack copies it out beside its checksum.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/SignProgram.cmake)
set(CPACK_LUMBREL_SIGN_EXE ${packaging}/sign-exe)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/RepackDownload.cmake)
set(CPACK_LUMBREL_REPACK_ZIP ${packaging}/repack-zip)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
