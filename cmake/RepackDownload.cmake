# Run by cpack once it has packed the download, before it copies it out and
# writes its checksum. CPack's archive takes the staged files in the order the
# file system lists them and records their owner and permissions, all of which
# differ between machines; the archive is written again from the same files.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND "${CPACK_LUMBREL_REPACK_ZIP}" "${CPACK_TEMPORARY_DIRECTORY}"
                          "${package}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "The download was not made: ${package} could not be written "
                        "again in a fixed order.")
  endif()
endforeach()
