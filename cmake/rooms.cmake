# scenario_room(NAME FOLDER [USES ROOM...] SOURCES FILE...)
#
# Declares one room of the system: the static library scenario_NAME built from FOLDER's listed
# sources, linking the libraries of the rooms it USES (and nothing else of the project). Headers
# are included from the project root, and the public header from include/.
#
# With SCENARIO_TESTS, each room also gets a link check: a program that takes in every object of
# the room and links only the rooms it states, so that a call into a room it does not state (an
# arrow the layering forbids) is an undefined reference and fails the build.
set(SCENARIO_ROOMS "")

function(scenario_room name folder)
  cmake_parse_arguments(ROOM "" "" "USES;SOURCES" ${ARGN})
  list(TRANSFORM ROOM_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${folder}/)
  set(target scenario_${name})
  add_library(${target} STATIC ${ROOM_SOURCES})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}> $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  set(uses ${ROOM_USES})
  list(TRANSFORM uses PREPEND scenario_)
  target_link_libraries(${target} PUBLIC ${uses})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  if(SCENARIO_SANITIZE)
    # A sanitized library needs the sanitizer runtime in every program that links it.
    target_link_options(${target} INTERFACE -fsanitize=address,undefined,float-cast-overflow)
  endif()
  set_property(GLOBAL APPEND PROPERTY SCENARIO_ROOM_TARGETS ${target})
  set_property(GLOBAL PROPERTY SCENARIO_ROOM_OF_${folder} ${target})

  if(SCENARIO_TESTS)
    add_executable(${target}_link_check ${PROJECT_SOURCE_DIR}/cmake/link_check.cpp)
    target_link_libraries(${target}_link_check PRIVATE
      -Wl,--whole-archive $<TARGET_FILE:${target}> -Wl,--no-whole-archive ${uses})
    add_dependencies(${target}_link_check ${target})
    set_target_properties(${target}_link_check PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/link_check)
  endif()
endfunction()

# The project's libraries that the #include lines of `source` name, by the folder of each header
# ("render/dump.h" gives scenario_render); into the variable `out`.
function(scenario_libraries_included source out)
  file(STRINGS ${source} lines REGEX "^#include \"[a-z_]+/")
  set(libraries "")
  foreach(line ${lines})
    string(REGEX MATCH "^#include \"([a-z_]+)/" matched "${line}")
    get_property(library GLOBAL PROPERTY SCENARIO_ROOM_OF_${CMAKE_MATCH_1})
    if(library)
      list(APPEND libraries ${library})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES libraries)
  set(${out} ${libraries} PARENT_SCOPE)
endfunction()
