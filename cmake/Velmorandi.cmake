# Helpers shared by every folder's CMakeLists.txt.

# A folder builds on Linux only, unless its CMakeLists.txt opens with a declaration of the
# systems it builds on, e.g. vm_systems(linux windows). vm_add_children reads the declaration
# before adding the folder, so a folder left out is never configured, nor anything below it.
macro(vm_systems)
endmacro()

function(vm_folder_builds_here folder result)
  file(STRINGS ${folder}/CMakeLists.txt declaration REGEX "^vm_systems\\(")
  set(systems linux)
  if(declaration)
    string(REGEX REPLACE "^vm_systems\\(([^)]*)\\).*" "\\1" systems "${declaration}")
    separate_arguments(systems)
  endif()
  if(VM_SYSTEM IN_LIST systems)
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Adds every folder below DIR that has a CMakeLists.txt, in name order; a folder without
# one is searched further down (so src/platform/text and tests/platform/text are found).
# Below a folder with its own CMakeLists.txt the search goes on too (src/settings/dialogs
# below src/settings), skipping the folders which that file added itself.
function(vm_add_children dir)
  cmake_parse_arguments(A "" "" "SKIP" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_SOURCE_DIR}/${dir}
       ${CMAKE_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    set(path ${CMAKE_SOURCE_DIR}/${dir}/${child})
    if(path IN_LIST A_SKIP)
      continue()
    endif()
    if(EXISTS ${path}/CMakeLists.txt)
      vm_folder_builds_here(${path} here)
      if(NOT here)
        continue()
      endif()
      add_subdirectory(${path})
      get_property(added DIRECTORY ${path} PROPERTY SUBDIRECTORIES)
      vm_add_children(${dir}/${child} SKIP ${added})
    elseif(IS_DIRECTORY ${path})
      vm_add_children(${dir}/${child})
    endif()
  endforeach()
endfunction()

# vm_library(NAME SOURCES ... [DEPS ...]): a static library whose headers are included
# as "folder/file.h" from src/.
function(vm_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(A_DEPS)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  endif()
  if(VELMORANDI_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endif()
endfunction()

# vm_test(NAME SOURCES ... [DEPS ...]): one GoogleTest executable, one CTest entry.
# Tests run from build/bin/tests, with HOME and the XDG user folders of their own.
if(VM_SYSTEM STREQUAL "linux")
  find_package(GTest QUIET)
elseif(VELMORANDI_TESTS AND NOT TARGET GTest::gtest)
  # No cross-built GoogleTest is packaged: build Debian's sources inside this build, without
  # the project's warning flags.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  foreach(target gtest gtest_main gmock gmock_main)
    set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS "")
    if(NOT TARGET GTest::${target})
      add_library(GTest::${target} ALIAS ${target})
    endif()
  endforeach()
endif()
# The unit suites: `cmake --build B --target unit_suites` builds them (and what they need),
# `ctest -L unit` runs them. In a sanitized build each runs with the sanitizers' settings:
# the leaks of the libraries below ours that tests/support/lsan_suppressions.txt names are
# not reported, and undefined behaviour is reported with its stack.
add_custom_target(unit_suites)
set(VM_SANITIZER_ENVIRONMENT
    "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan_suppressions.txt"
    "UBSAN_OPTIONS=print_stacktrace=1")

# Marks the CTest entry NAME, which runs TARGET, as a unit suite.
function(vm_unit_suite name target)
  add_dependencies(unit_suites ${target})
  set_property(TEST ${name} APPEND PROPERTY LABELS unit)
  if(VELMORANDI_SANITIZE)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT ${VM_SANITIZER_ENVIRONMENT})
  endif()
endfunction()

# ARGS are passed to the suite (a filter of the cases that hold on this system, say). WRAPPER
# is a command that runs the suite (given as its further arguments) in a setting it makes first.
function(vm_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;ARGS;WRAPPER" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/tests)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gmock GTest::gtest_main)
  if(A_WRAPPER)
    add_test(NAME ${name} COMMAND ${A_WRAPPER} $<TARGET_FILE:${name}> ${A_ARGS})
  else()
    add_test(NAME ${name} COMMAND ${name} ${A_ARGS})
  endif()
  # The user's own folders of each suite lie in the build tree, never in the real home.
  set(home ${CMAKE_BINARY_DIR}/test-home/${name})
  # It exists from the start, as a real home does: code that falls back when HOME is
  # missing would otherwise behave differently on a fresh build than on the next run.
  file(MAKE_DIRECTORY ${home})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_STATE_HOME=${home}/.local/state")
  vm_unit_suite(${name} ${name})
endfunction()

# vm_bench(NAME SOURCES ... [DEPS ...]): a Google Benchmark executable in build/bin/bench.
function(vm_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/bench)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark)
endfunction()

# vm_fuzzer(NAME SOURCES ... [DEPS ...]): a libFuzzer target (only with VELMORANDI_FUZZ).
function(vm_fuzzer name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/fuzz)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  set_property(GLOBAL APPEND PROPERTY VM_FUZZERS ${name})
endfunction()
