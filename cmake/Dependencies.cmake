# Third-party libraries. On Linux they come from Debian's -dev packages; for
# the Windows presets TinyXML and minizip are compiled here from the sources
# that scripts/fetch-windows-deps.sh unpacks from Debian's source packages,
# against zlib from libz-mingw-w64-dev.

set(TAVLEN_DEPS_DIR ${CMAKE_SOURCE_DIR}/.deps/src CACHE PATH "Unpacked Debian source packages for the Windows builds")

if(WIN32)
  find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
  find_path(ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(tavlen_zlib INTERFACE)
  target_link_libraries(tavlen_zlib INTERFACE ${ZLIB_STATIC})
  target_include_directories(tavlen_zlib INTERFACE ${ZLIB_INCLUDE})

  file(GLOB TINYXML_DIR LIST_DIRECTORIES true ${TAVLEN_DEPS_DIR}/tinyxml-*)
  file(GLOB ZLIB_SRC_DIR LIST_DIRECTORIES true ${TAVLEN_DEPS_DIR}/zlib-*)
  if(NOT TINYXML_DIR OR NOT ZLIB_SRC_DIR)
    message(FATAL_ERROR "Debian sources of tinyxml and zlib are missing under ${TAVLEN_DEPS_DIR}: run scripts/fetch-windows-deps.sh")
  endif()
  add_library(tavlen_tinyxml STATIC
    ${TINYXML_DIR}/tinyxml.cpp ${TINYXML_DIR}/tinyxmlparser.cpp
    ${TINYXML_DIR}/tinyxmlerror.cpp ${TINYXML_DIR}/tinystr.cpp)
  target_include_directories(tavlen_tinyxml SYSTEM PUBLIC ${TINYXML_DIR})
  target_compile_options(tavlen_tinyxml PRIVATE -w)
  target_compile_definitions(tavlen_tinyxml PUBLIC TIXML_USE_STL)
  add_library(TinyXML::TinyXML ALIAS tavlen_tinyxml)

  set(MINIZIP_DIR ${ZLIB_SRC_DIR}/contrib/minizip)
  add_library(tavlen_minizip STATIC ${MINIZIP_DIR}/ioapi.c ${MINIZIP_DIR}/unzip.c ${MINIZIP_DIR}/iowin32.c)
  target_include_directories(tavlen_minizip SYSTEM PUBLIC ${MINIZIP_DIR})
  target_compile_options(tavlen_minizip PRIVATE -w)
  target_link_libraries(tavlen_minizip PUBLIC tavlen_zlib)
  add_library(Minizip::Minizip ALIAS tavlen_minizip)
else()
  find_package(PkgConfig REQUIRED)
  find_package(SQLite3 REQUIRED)
  find_package(CURL REQUIRED)
  find_package(ZLIB REQUIRED)
  find_package(X11 REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  add_library(Minizip::Minizip ALIAS PkgConfig::MINIZIP)
  find_library(TINYXML_LIB tinyxml REQUIRED)
  find_path(TINYXML_INCLUDE tinyxml.h REQUIRED)
  add_library(tavlen_tinyxml INTERFACE)
  target_link_libraries(tavlen_tinyxml INTERFACE ${TINYXML_LIB})
  target_include_directories(tavlen_tinyxml SYSTEM INTERFACE ${TINYXML_INCLUDE})
  # Debian's libtinyxml is built with STL support; the headers must agree.
  target_compile_definitions(tavlen_tinyxml INTERFACE TIXML_USE_STL)
  add_library(TinyXML::TinyXML ALIAS tavlen_tinyxml)
  find_package(FLTK QUIET)
endif()

if(TAVLEN_TESTS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
endif()
