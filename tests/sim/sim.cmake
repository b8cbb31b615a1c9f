# The simulated platform's own rules (gtest) and whole scenarios played through shutdown-sim, each
# compared line by line with its expected output.
if(NOT WIN32)
  zentavo_gtest(sim_tests sim
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/profile_file_test.cc ${CMAKE_CURRENT_LIST_DIR}/sim_world_test.cc
            ${CMAKE_CURRENT_LIST_DIR}/scenario_test.cc
    LIBS sim_platform)

  file(GLOB sim_scenarios CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/scenarios/*.txt)
  foreach(scenario ${sim_scenarios})
    get_filename_component(name ${scenario} NAME_WE)
    add_test(NAME sim.scenario.${name}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_scenario.sh $<TARGET_FILE:shutdown-sim> ${scenario}
              ${CMAKE_CURRENT_LIST_DIR}/scenarios/${name}.expected)
    set_tests_properties(sim.scenario.${name} PROPERTIES LABELS sim)
  endforeach()

  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    add_executable(sim_bench ${CMAKE_CURRENT_LIST_DIR}/sim_bench.cc)
    target_link_libraries(sim_bench PRIVATE app_core sim_platform benchmark::benchmark)
  endif()
endif()
