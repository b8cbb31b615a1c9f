# One set of window-service rules, run against the simulated platform on the host (label contract) and
# against the Windows platform under Wine (labels win32 and contract). The Windows build also checks
# the Windows platform's own window, keyboard and system services (label win32).
set(contract_dir ${CMAKE_CURRENT_LIST_DIR})
if(WIN32)
  # These open windows: they run one at a time in a prefix of their own with a virtual desktop.
  function(contract_win32_test name labels)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE platform_win32 gtest_main gtest)
    target_link_options(${name} PRIVATE -mconsole)
    add_test(NAME ${name}
      COMMAND ${contract_dir}/wine-gui-run ${CMAKE_BINARY_DIR}/wineprefix-gui $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 600 RESOURCE_LOCK wine_gui_prefix)
  endfunction()
  contract_win32_test(contract_win32 "win32;contract"
    ${contract_dir}/window_contract_test.cc ${contract_dir}/win32_harness.cc)
  contract_win32_test(platform_win32_tests win32 ${contract_dir}/win32_platform_test.cc)
elseif(TARGET sim_platform)
  zentavo_gtest(contract_sim contract
    SOURCES ${contract_dir}/window_contract_test.cc ${contract_dir}/sim_harness.cc
    LIBS sim_platform)
endif()
