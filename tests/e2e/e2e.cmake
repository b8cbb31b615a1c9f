# End-to-end tests: the real zentavo.exe under Wine, driven by e2e_driver.exe from a Python runner
# (tests/e2e/run_e2e.py). Windows builds only; each case is one CTest test labelled e2e. They share one
# Wine prefix under <build>/e2e, created afresh by the e2e_setup fixture, and run one at a time.
if(NOT WIN32)
  return()
endif()

set(e2e_dir ${CMAKE_CURRENT_LIST_DIR})
set(e2e_work ${CMAKE_BINARY_DIR}/e2e)

add_executable(e2e_driver ${e2e_dir}/driver.cc)
target_link_options(e2e_driver PRIVATE -mconsole)
target_link_libraries(e2e_driver PRIVATE psapi)

# A stand-in window for developing the bench without the program; not built by default.
add_executable(e2e_stub_app EXCLUDE_FROM_ALL ${e2e_dir}/stub_app.cc)
target_link_options(e2e_stub_app PRIVATE -mwindows)

if(NOT TARGET zentavo)
  message(STATUS "e2e: no zentavo target, no e2e tests")
  return()
endif()

find_program(E2E_PYTHON NAMES python3 REQUIRED)
set(e2e_runner ${E2E_PYTHON} ${e2e_dir}/run_e2e.py --work ${e2e_work})
execute_process(COMMAND ${E2E_PYTHON} ${e2e_dir}/run_e2e.py list OUTPUT_VARIABLE e2e_cases
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" e2e_cases "${e2e_cases}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${e2e_dir}/cases.py ${e2e_dir}/robustness_cases.py
             ${e2e_dir}/run_e2e.py)

add_test(NAME e2e_setup COMMAND ${e2e_runner} setup)
set_tests_properties(e2e_setup PROPERTIES LABELS e2e TIMEOUT 300 FIXTURES_SETUP e2e_prefix
                                          RESOURCE_LOCK e2e_wine_prefix)
foreach(case IN LISTS e2e_cases)
  add_test(NAME e2e_${case}
           COMMAND ${e2e_runner} --exe $<TARGET_FILE:zentavo> --driver $<TARGET_FILE:e2e_driver> run ${case})
  set_tests_properties(e2e_${case} PROPERTIES LABELS e2e TIMEOUT 300 FIXTURES_REQUIRED e2e_prefix
                                              RESOURCE_LOCK e2e_wine_prefix)
endforeach()
