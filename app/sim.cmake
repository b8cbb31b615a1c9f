# shutdown-sim: the program on the simulated platform, driven by a scenario. Host builds only.
add_executable(shutdown-sim ${CMAKE_CURRENT_LIST_DIR}/shutdown_sim.cc)
target_link_libraries(shutdown-sim PRIVATE app_core sim_platform)
