# Natively we use Debian's GoogleTest; the mingw builds compile it from the
# sources Debian ships, since no Windows binaries of it are packaged.
if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(LUMBREL_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH
      "GoogleTest's sources, compiled for the cross builds")
  add_subdirectory(${LUMBREL_GOOGLETEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Recent GoogleTest sources name their targets like the installed package.
  foreach(lib gtest gtest_main gmock)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# lumbrel_add_test(name SOURCES ... LIBS ...): one GoogleTest executable run
# through CTest; in the win32-tests build CTest runs it under 32-bit Wine.
function(lumbrel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
endfunction()
