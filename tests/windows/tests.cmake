# The unit tests built for Windows and run under Wine (make test-windows): included by
# cmake/windows.cmake when SCENARIO_WINDOWS_TESTS is on.
#
# GoogleTest is built for Windows from Debian's sources (cmake/windows.cmake adds it).
# Each test program of tests/ that needs nothing but the program's own code runs as it is; the
# shared helpers come from tests/test_support.cpp and tests/windows/test_support_windows.cpp. The others are listed below with
# the reason they cannot run under Wine: each is a ctest test that prints its reason and is
# reported as skipped. make test-windows runs them all with ctest (under Wine: the cross build's
# CMAKE_CROSSCOMPILING_EMULATOR), then tests/windows/compare_outputs.sh.
# The tests that run under Wine: the coding, the code page, the rounding, the parsers, the binary
# outputs and the compile, the decompile, the drawings, and file replacement on Windows itself.
set(SCENARIO_WINDOWS_TESTS_LIST
  binary_inputs binary_outputs cell_values check_codes compile compile_error compiler cp1252 decoder_corpus
  decompile decompile_values description_check description_text documents field_reader format_document
  header_view line_data line_features line_parser line_table plan_recurrence post_processing render_labels
  reports rounding signal_words stretch_fill train_data train_features train_parser)
# The tests that cannot run under Wine, each with its reason.
set(SCENARIO_WINDOWS_SKIPPED
  "file_replace: POSIX locks, modes and devices (flock, umask, /dev/zero), while windows/file_replace_windows runs the same contract on Windows"
  "fault_injection: stops the program with POSIX signals at each disk step"
  "interrupted_run: kills a forked child at each disk step (fork, kill)"
  "build_sequence: the console's fatal report, which on Windows is a message box, checked by tests/windows/window_check.sh"
  "bad_input: runs the programs through a POSIX shell"
  "browser_check: drives headless Chromium through a POSIX shell"
  "check_command: runs scenario_tool through a POSIX shell, and compare_outputs.sh compares its output with Linux's"
  "decompile_command: runs scenario_tool through a POSIX shell, and compare_outputs.sh compares its output with Linux's"
  "dump: runs scenario_tool through a POSIX shell, and compare_outputs.sh compares its output with Linux's"
  "install: installs with cmake and builds a consumer with the Linux compiler"
  "prerequisites: runs tools/prerequisites.sh with stand-ins for apt-get"
  "render: runs scenario_tool through a POSIX shell, and compare_outputs.sh compares its output with Linux's"
  "render_zoom: runs node or python through a POSIX shell"
  "scenario_build: runs scenario_build through a POSIX shell, and compare_outputs.sh compares its files with Linux's"
  "scenario_tool: runs scenario_tool through a POSIX shell, and compare_outputs.sh compares its output with Linux's"
  "size_limits: runs the programs through a POSIX shell")

# Single tests left out under Wine, each with its reason (printed by the test program's filter line).
# The programs and tests for Windows are built as released (-O3): there the optimiser may put the
# operands of an addition of two NaNs either way round, and x86 keeps the first one's sign, so the
# test's own reference expression and the library can differ in the sign of such a NaN. The Linux
# release programs do the same; the Linux tests, built at -O1 or -O0, do not meet it.
set(SCENARIO_WINDOWS_FILTERS
  "plan_recurrence: -PlanRecurrenceTest.AStraightStepKeepsTheBitsOfTheFullExpressionForZeroInfiniteAndNaNSteps")

add_library(scenario_windows_test_support STATIC ${PROJECT_SOURCE_DIR}/tests/compiled_scenario.cpp
            ${PROJECT_SOURCE_DIR}/tests/scenario_generator.cpp
            ${PROJECT_SOURCE_DIR}/tests/test_support.cpp ${PROJECT_SOURCE_DIR}/tests/windows/test_support_windows.cpp)
target_link_libraries(scenario_windows_test_support PUBLIC scenario_embedded scenario_compiler scenario_disk gtest)


function(scenario_windows_test name source)
  scenario_libraries_included(${source} test_libraries)
  add_executable(${name} EXCLUDE_FROM_ALL ${source})
  target_link_libraries(${name} PRIVATE scenario_windows_test_support ${test_libraries} gtest gtest_main)
  target_compile_definitions(${name} PRIVATE
    SCENARIO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    SCENARIO_BINARY_DIR="${PROJECT_BINARY_DIR}"
    SCENARIO_VERSION="${PROJECT_VERSION}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  set(filter "")
  foreach(entry ${SCENARIO_WINDOWS_FILTERS})
    if(entry MATCHES "^([a-z_]+): (.*)$")
      if(name STREQUAL "${CMAKE_MATCH_1}_test")
        set(filter "--gtest_filter=${CMAKE_MATCH_2}")
      endif()
    endif()
  endforeach()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 ${filter})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS windows)
  add_dependencies(scenario_windows_tests ${name})
endfunction()

add_custom_target(scenario_windows_tests)
foreach(test_name ${SCENARIO_WINDOWS_TESTS_LIST})
  scenario_windows_test(${test_name}_test ${PROJECT_SOURCE_DIR}/tests/${test_name}_test.cpp)
endforeach()
scenario_windows_test(file_replace_windows_test ${PROJECT_SOURCE_DIR}/tests/windows/file_replace_windows_test.cpp)

# The reasons, also in one file that make test-windows prints before the run.
set(not_run "")
foreach(skipped ${SCENARIO_WINDOWS_SKIPPED})
  string(APPEND not_run "not run under Wine: ${skipped}\n")
endforeach()
foreach(filtered ${SCENARIO_WINDOWS_FILTERS})
  string(APPEND not_run "left out under Wine: ${filtered}\n")
endforeach()
file(WRITE ${PROJECT_BINARY_DIR}/tests/not_run_under_wine.txt "${not_run}")
foreach(skipped ${SCENARIO_WINDOWS_SKIPPED})
  string(REGEX MATCH "^[a-z_]+" test_name "${skipped}")
  string(REGEX REPLACE "^[a-z_]+: " "" reason "${skipped}")
  add_test(NAME ${test_name}_test COMMAND ${CMAKE_COMMAND} -E echo "not run under Wine: ${reason}")
  set_tests_properties(${test_name}_test PROPERTIES SKIP_REGULAR_EXPRESSION "not run under Wine" LABELS windows)
endforeach()

# For tests/windows/window_check.sh: scenario_build with a scenario that ends in the fatal report
# and one with a compile error (tests/windows/*_scenario.cpp stand in for the embedded tables).
# Test-only: never shipped.
foreach(fixture fatal compile_error)
  add_executable(scenario_build_${fixture}_fixture WIN32 EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/driver/main.cpp
                 ${PROJECT_SOURCE_DIR}/tests/windows/${fixture}_scenario.cpp)
  target_link_libraries(scenario_build_${fixture}_fixture PRIVATE scenario_driver)
  set_target_properties(scenario_build_${fixture}_fixture PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  add_dependencies(scenario_windows_tests scenario_build_${fixture}_fixture)
endforeach()
