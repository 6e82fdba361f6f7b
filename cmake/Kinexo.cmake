# Shared build rules: warnings, one static library per subsystem folder, tests.

set(KINEXO_WARNINGS -Wall -Wextra)

# lld links the many test programs several times faster than the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld KINEXO_HAS_LLD)
if(KINEXO_HAS_LLD)
  add_link_options(-fuse-ld=lld)
endif()

# kx_library(<name> LIBS ...): static library of one subsystem folder, made of every .cpp in it.
function(kx_library name)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${sources})
  # CMake 3.25 with Ninja does not rerun moc for a header added later: when the file list
  # changes, drop the moc stamp so the next build scans again.
  set(stamp_list ${CMAKE_CURRENT_BINARY_DIR}/${name}_sources.txt)
  string(REPLACE ";" "\n" listing "${sources}")
  set(previous "")
  if(EXISTS ${stamp_list})
    file(READ ${stamp_list} previous)
  endif()
  if(NOT previous STREQUAL listing)
    file(WRITE ${stamp_list} "${listing}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/timestamp)
  endif()
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  target_compile_options(${name} PRIVATE ${KINEXO_WARNINGS})
  target_precompile_headers(${name} PRIVATE <QtCore> <QtGui> <QtWidgets>)
endfunction()

# kx_test(<name> SOURCES ... LIBS ... [ENV ...] [LOCK ...]): one QtTest executable run by CTest,
# offscreen unless ENV says otherwise. LOCK names a resource that tests must not share at once.
function(kx_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;ENV;LOCK" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} kx_testsupport Qt6::Test)
  target_compile_options(${name} PRIVATE ${KINEXO_WARNINGS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${A_ENV}")
  if(A_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${A_LOCK}")
  endif()
endfunction()
