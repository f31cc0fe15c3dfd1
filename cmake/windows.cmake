# The Windows build (cmake/toolchain-mingw64.cmake, preset "windows"): included from CMakeLists.txt
# when the target system is Windows, before the programs are declared.
#
#  - The programs and tests are linked statically: they need only Windows' own DLLs (no
#    libstdc++-6.dll, libgcc_s_seh-1.dll or libwinpthread-1.dll beside them).
#  - CLI11 and nlohmann-json are header-only: their Debian folders are given to the compiler alone,
#    through a folder in the build tree that holds nothing but CLI/ and nlohmann/, never the build
#    machine's /usr/include, whose glibc headers must not meet mingw-w64's.
#  - Each program gets an application manifest (asInvoker, per-monitor DPI aware, long paths,
#    common controls 6) and a version resource with the project's version, both compiled by windres.
#  - The platform layer's sources are the _windows.cpp halves (SCENARIO_PLATFORM).
enable_language(RC)
option(SCENARIO_WINDOWS_TESTS "Build the unit tests for Windows, to run under Wine (make test-windows)" OFF)
set(SCENARIO_PLATFORM windows)

# Unicode Windows API (the W functions by default) and no min/max macros from <windows.h>.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static)
# g++ 12 at -O3 warns of an overlapping memcpy inside libstdc++ where a string literal is prefixed
# to a temporary std::string ("'" + text): a false positive of gcc 12 (bug 105651), which the Linux
# release build shows too; the Windows build leaves it out.
add_compile_options(-Wno-restrict)

set(SCENARIO_HEADER_ONLY_DIR ${PROJECT_BINARY_DIR}/header-only)
foreach(library CLI nlohmann)
  if(NOT EXISTS /usr/include/${library})
    message(FATAL_ERROR "/usr/include/${library} is missing: run tools/prerequisites.sh windows")
  endif()
  file(MAKE_DIRECTORY ${SCENARIO_HEADER_ONLY_DIR})
  if(NOT EXISTS ${SCENARIO_HEADER_ONLY_DIR}/${library})
    file(CREATE_LINK /usr/include/${library} ${SCENARIO_HEADER_ONLY_DIR}/${library} SYMBOLIC)
  endif()
endforeach()
# Every room of the Windows build sees them, as every room of the Linux build sees /usr/include.
include_directories(SYSTEM ${SCENARIO_HEADER_ONLY_DIR})
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${SCENARIO_HEADER_ONLY_DIR})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${SCENARIO_HEADER_ONLY_DIR})

# The unit tests for Windows (tests/windows/tests.cmake) link GoogleTest built for Windows from
# Debian's sources (/usr/src/googletest, package googletest), added here: a subdirectory cannot be
# added once the programs are declared.
if(SCENARIO_WINDOWS_TESTS)
  enable_testing()
  set(SCENARIO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built for Windows")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${SCENARIO_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources are not held to this project's warnings.
  foreach(target gtest gtest_main)
    set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "-w")
  endforeach()
endif()

# The resources of one program: its manifest and its version, as a windres source.
function(scenario_windows_resources target description)
  set(SCENARIO_RESOURCE_NAME ${target})
  set(SCENARIO_RESOURCE_DESCRIPTION "${description}")
  set(SCENARIO_RESOURCE_MANIFEST ${PROJECT_BINARY_DIR}/windows/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows_program.manifest.in ${SCENARIO_RESOURCE_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows_program.rc.in ${PROJECT_BINARY_DIR}/windows/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/windows/${target}.rc)
  set_property(SOURCE ${PROJECT_BINARY_DIR}/windows/${target}.rc APPEND PROPERTY OBJECT_DEPENDS
               ${SCENARIO_RESOURCE_MANIFEST})
endfunction()

# Runs once CMakeLists.txt has declared everything: the Windows-only sources, the resources of both
# programs.
function(scenario_windows_programs)
  if(TARGET scenario_disk)
    # The conversions between UTF-8 and the Windows API's UTF-16, used by the platform's halves.
    target_sources(scenario_disk PRIVATE ${PROJECT_SOURCE_DIR}/disk/text_windows.cpp)
  endif()
  if(SCENARIO_WINDOWS_TESTS)
    include(${PROJECT_SOURCE_DIR}/tests/windows/tests.cmake)
  endif()
  if(TARGET scenario_build)
    # scenario_build is a window program: the wait window and message boxes (driver/notices_windows.cpp).
    set_target_properties(scenario_build PROPERTIES WIN32_EXECUTABLE ON)
    target_link_libraries(scenario_driver PUBLIC gdi32)
    scenario_windows_resources(scenario_build "Writes the embedded scenario's files beside itself")
    scenario_windows_resources(scenario_tool "Tools for people who write their own scenarios")
  endif()
endfunction()
cmake_language(DEFER CALL scenario_windows_programs)
