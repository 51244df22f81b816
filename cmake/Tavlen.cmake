# Project-wide compiler settings and helper functions.

# Chinese literals are written in UTF-8 in the sources; the program keeps
# every text as bytes of code page 936, so narrow literals are stored in it.
set(TAVLEN_COMMON_FLAGS -fexec-charset=CP936)

# Leaks that third-party libraries keep on purpose (scripts/test-all.sh sets
# the same for every test of the linux-asan run).
set(TAVLEN_LSAN_SUPPRESSIONS ${CMAKE_CURRENT_LIST_DIR}/lsan-suppressions.txt)
if(TAVLEN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # One self-contained executable: no runtime DLLs to ship or to find under wine.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# Warnings are errors for everything the project itself compiles.
function(tavlen_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror ${TAVLEN_COMMON_FLAGS})
endfunction()

# tavlen_library(NAME SOURCES... [LIBS libs...]): a static library of the project.
function(tavlen_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  # A folder whose sources are still being written yields a library with
  # nothing in it yet, so the rest of the tree keeps building.
  set(present)
  foreach(source ${ARG_SOURCES})
    if(IS_ABSOLUTE ${source})
      set(path ${source})
    else()
      set(path ${CMAKE_CURRENT_SOURCE_DIR}/${source})
    endif()
    if(EXISTS ${path})
      list(APPEND present ${path})
    endif()
  endforeach()
  if(NOT present)
    add_library(${name} INTERFACE)
    if(ARG_LIBS)
      target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    endif()
    return()
  endif()
  add_library(${name} STATIC ${present})
  tavlen_target_settings(${name})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# tavlen_test(NAME SOURCES... LIBS... [LINUX_ONLY] [TIMEOUT s]): a GoogleTest program
# registered with CTest. Under the mingw-x64 preset CTest runs it through wine.
function(tavlen_test name)
  cmake_parse_arguments(ARG "LINUX_ONLY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(ARG_LINUX_ONLY AND WIN32)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  tavlen_target_settings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tavlen_test_support GTest::gtest)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  if(TAVLEN_SANITIZE)
    # A sanitizer report names where it happened and fails the test.
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
      "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:check_initialization_order=1"
      "LSAN_OPTIONS=suppressions=${TAVLEN_LSAN_SUPPRESSIONS}:print_suppressions=0")
  endif()
endfunction()
