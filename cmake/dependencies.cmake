# Third-party libraries. For the Windows build they come from the set-up
# script's MinGW prefix (built from Debian's source packages); natively from Debian's -dev packages.
if(WIN32)
  set(NAVEKO_MINGW_PREFIX "$ENV{HOME}/.cache/naveko/mingw64" CACHE PATH "Prefix of the MinGW-built libraries")
  if(DEFINED ENV{NAVEKO_CACHE})
    set(NAVEKO_MINGW_PREFIX "$ENV{NAVEKO_CACHE}/mingw64" CACHE PATH "" FORCE)
  endif()
  find_library(JPEG_LIB NAMES libjpeg.a jpeg PATHS "${NAVEKO_MINGW_PREFIX}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  add_library(naveko_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(naveko_jpeg PROPERTIES IMPORTED_LOCATION "${JPEG_LIB}"
                        INTERFACE_INCLUDE_DIRECTORIES "${NAVEKO_MINGW_PREFIX}/include")
  # The workbook reader's libzip (over MinGW's zlib) and expat, both static.
  find_library(ZIP_LIB NAMES libzip.a PATHS "${NAVEKO_MINGW_PREFIX}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_library(EXPAT_LIB NAMES libexpat.a libexpatMD.a PATHS "${NAVEKO_MINGW_PREFIX}/lib" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  # MinGW's own zlib, under the toolchain's find root.
  find_library(ZLIB_LIB NAMES libz.a REQUIRED)
  add_library(naveko_zip STATIC IMPORTED GLOBAL)
  set_target_properties(naveko_zip PROPERTIES IMPORTED_LOCATION "${ZIP_LIB}"
                        INTERFACE_INCLUDE_DIRECTORIES "${NAVEKO_MINGW_PREFIX}/include"
                        INTERFACE_COMPILE_DEFINITIONS ZIP_STATIC
                        INTERFACE_LINK_LIBRARIES "${ZLIB_LIB};bcrypt;advapi32")
  add_library(naveko_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(naveko_zlib PROPERTIES IMPORTED_LOCATION "${ZLIB_LIB}")
  add_library(naveko_expat STATIC IMPORTED GLOBAL)
  set_target_properties(naveko_expat PROPERTIES IMPORTED_LOCATION "${EXPAT_LIB}"
                        INTERFACE_INCLUDE_DIRECTORIES "${NAVEKO_MINGW_PREFIX}/include"
                        INTERFACE_COMPILE_DEFINITIONS XML_STATIC)
  # urlmon.dll, wininet.dll, odbc32.dll and comctl32.dll are delay-loaded: imported the ordinary way, the
  # loader would resolve them before the program's first line, looking in the
  # program's own folder first (framework/win/system_library.h).
  if(MINGW)
    find_program(NAVEKO_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
  endif()
  foreach(dll urlmon wininet odbc32 comctl32)
    add_library(naveko_${dll} INTERFACE IMPORTED GLOBAL)
    if(MINGW)
      set(def ${PROJECT_SOURCE_DIR}/cmake/delayload/${dll}.def)
      set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
      file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delayload)
      execute_process(COMMAND ${NAVEKO_DLLTOOL} -d ${def} -y ${lib} RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "dlltool could not make ${lib}")
      endif()
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${def})
      target_link_libraries(naveko_${dll} INTERFACE ${lib})
    else()
      target_link_libraries(naveko_${dll} INTERFACE ${dll} delayimp)
      target_link_options(naveko_${dll} INTERFACE /DELAYLOAD:${dll}.dll)
    endif()
  endforeach()
elseif(NAVEKO_FUZZ)
  # The set-up script's builds of the same sources with ASan and libFuzzer's
  # coverage instrumentation, so that the fuzzer sees their branches too.
  set(NAVEKO_FUZZ_PREFIX "$ENV{HOME}/.cache/naveko/fuzz-native" CACHE PATH "Prefix of the instrumented libraries")
  if(DEFINED ENV{NAVEKO_CACHE})
    set(NAVEKO_FUZZ_PREFIX "$ENV{NAVEKO_CACHE}/fuzz-native" CACHE PATH "" FORCE)
  endif()
  find_package(ZLIB REQUIRED)
  foreach(lib jpeg zip expat)
    find_library(FUZZ_${lib}_LIB NAMES lib${lib}.a PATHS "${NAVEKO_FUZZ_PREFIX}/lib" "${NAVEKO_FUZZ_PREFIX}/lib64"
                 NO_DEFAULT_PATH REQUIRED)
    add_library(naveko_${lib} STATIC IMPORTED GLOBAL)
    set_target_properties(naveko_${lib} PROPERTIES IMPORTED_LOCATION "${FUZZ_${lib}_LIB}"
                          INTERFACE_INCLUDE_DIRECTORIES "${NAVEKO_FUZZ_PREFIX}/include")
  endforeach()
  set_target_properties(naveko_zip PROPERTIES INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
  add_library(naveko_zlib INTERFACE IMPORTED GLOBAL)
  target_link_libraries(naveko_zlib INTERFACE ZLIB::ZLIB)
else()
  find_package(JPEG REQUIRED)
  add_library(naveko_jpeg INTERFACE IMPORTED GLOBAL)
  target_link_libraries(naveko_jpeg INTERFACE JPEG::JPEG)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
  find_package(EXPAT REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(naveko_zlib INTERFACE IMPORTED GLOBAL)
  target_link_libraries(naveko_zlib INTERFACE ZLIB::ZLIB)
  add_library(naveko_zip INTERFACE IMPORTED GLOBAL)
  target_link_libraries(naveko_zip INTERFACE PkgConfig::LIBZIP)
  add_library(naveko_expat INTERFACE IMPORTED GLOBAL)
  target_link_libraries(naveko_expat INTERFACE EXPAT::EXPAT)
endif()

# GoogleTest from Debian's source package (googletest, its sources under the
# system prefix in src/googletest), built with the project's compiler.
find_path(NAVEKO_GTEST_SOURCE_DIR NAMES googletest/include/gtest/gtest.h PATH_SUFFIXES src/googletest
          NO_CMAKE_FIND_ROOT_PATH REQUIRED DOC "GoogleTest's source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${NAVEKO_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
