# The one time the download claims for everything it holds, so that two
# builds of one commit give the same bytes: SOURCE_DATE_EPOCH when the
# environment sets it at configure time, else the last commit's time.
# Packaging.cmake hands it to the linker (PE timestamp), to strip (which
# stamps the PE header again) and to cpack (ZIP entry times); the version
# resource takes its copyright year from it.
#   LUMBREL_SOURCE_DATE_EPOCH   seconds since 1970, UTC
#   LUMBREL_COPYRIGHT_YEAR      its year
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(LUMBREL_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_package(Git QUIET)
  if(Git_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
                    WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
                    OUTPUT_VARIABLE LUMBREL_SOURCE_DATE_EPOCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # Every commit, checkout or reset writes HEAD's log: configuring again
    # then keeps the time in step with the commit built.
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --path-format=absolute
                            --git-path logs/HEAD
                    WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
                    OUTPUT_VARIABLE head_log
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(EXISTS "${head_log}")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
    endif()
  endif()
endif()
if(NOT LUMBREL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR
    "The download takes its timestamps from the last commit, but git could not "
    "tell its time here (\"${LUMBREL_SOURCE_DATE_EPOCH}\"). Set SOURCE_DATE_EPOCH to "
    "the release's time in seconds since 1970 and configure again.")
endif()

# string(TIMESTAMP) reads the variable from the environment.
set(ENV{SOURCE_DATE_EPOCH} "${LUMBREL_SOURCE_DATE_EPOCH}")
string(TIMESTAMP LUMBREL_COPYRIGHT_YEAR "%Y" UTC)
