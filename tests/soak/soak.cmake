# The soak: the program on the simulated platform over many random virtual days, checked at every call.
# CTest runs 100 days with seed 1 (label soak, about a second; a minute under host-asan). A long run by
# hand, e.g. 1000 days with another seed:
#
#   build/host/tests/soak --days 1000 --seed 7        (or ZENTAVO_SOAK_DAYS=1000 build/host/tests/soak)
if(NOT WIN32 AND TARGET sim_platform AND TARGET app_core)
  add_executable(soak ${CMAKE_CURRENT_LIST_DIR}/soak.cc ${CMAKE_CURRENT_LIST_DIR}/checked_platform.cc)
  target_link_libraries(soak PRIVATE app_core sim_platform)
  add_test(NAME soak COMMAND soak --days 100 --seed 1)
  set_tests_properties(soak PROPERTIES LABELS soak TIMEOUT 900)
endif()
