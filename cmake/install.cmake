# Install rules and the Debian package.
#
#   bin/                                          scenario_build, scenario_tool
#   share/man/man1/scenario_tool.1                the manual page
#   share/bash-completion/completions/scenario_tool
#   share/doc/scenario-compiler/                  README.md and doc/ (the format reference, pictures)
#   include/scenario/compile.h                    the public interface
#   lib/libscenario_{model,format,description,compiler}.a
#                                                 the library: the rooms of the compile
#   lib/cmake/scenario_compiler/                  the CMake package: find_package(scenario_compiler)
#                                                 gives the target scenario::core
#
# Two install components make two Debian packages: "programs" (scenario-compiler: the programs,
# their manual page, completion and documentation) and "development" (scenario-compiler-dev: the
# library, its header and the CMake package). cmake --install without --component installs both.
include(CMakePackageConfigHelpers)

set(SCENARIO_PACKAGE_NAME scenario-compiler)
set(SCENARIO_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${SCENARIO_PACKAGE_NAME})
set(SCENARIO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/scenario_compiler)

if(TARGET scenario_build)
  install(TARGETS scenario_build scenario_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
  # The manual page carries the project's version in its footer.
  configure_file(${PROJECT_SOURCE_DIR}/doc/scenario_tool.1.in ${PROJECT_BINARY_DIR}/scenario_tool.1 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/scenario_tool.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
  install(FILES ${PROJECT_SOURCE_DIR}/tools/scenario_tool.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME scenario_tool
          COMPONENT programs)
  file(GLOB SCENARIO_DOC_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc/*.md ${PROJECT_SOURCE_DIR}/doc/*.png)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${SCENARIO_DOC_DIR} COMPONENT programs)
  install(FILES ${SCENARIO_DOC_FILES} DESTINATION ${SCENARIO_DOC_DIR}/doc COMPONENT programs)
endif()

install(TARGETS scenario_core scenario_model scenario_format scenario_description scenario_compiler
        EXPORT scenario_compiler_targets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(FILES ${SCENARIO_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/scenario COMPONENT development)
install(EXPORT scenario_compiler_targets NAMESPACE scenario:: FILE scenario_compilerTargets.cmake
        DESTINATION ${SCENARIO_CMAKE_DIR} COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/scenario_compilerConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/scenario_compilerConfig.cmake
                              INSTALL_DESTINATION ${SCENARIO_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/scenario_compilerConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/scenario_compilerConfig.cmake
              ${PROJECT_BINARY_DIR}/scenario_compilerConfigVersion.cmake
        DESTINATION ${SCENARIO_CMAKE_DIR} COMPONENT development)

# cpack -G DEB (make package): one .deb per component, named and versioned the Debian way.
set(CPACK_PACKAGE_NAME ${SCENARIO_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "scenario compiler developers <scenario-compiler@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME ${SCENARIO_PACKAGE_NAME})
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${SCENARIO_PACKAGE_NAME}-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION
    "scenario_build compiles the embedded scenario into the simulator's files;\nscenario_tool compiles, dumps and renders scenarios of your own.")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "The static library, its header scenario/compile.h and the CMake package scenario_compiler.")
include(CPack)
