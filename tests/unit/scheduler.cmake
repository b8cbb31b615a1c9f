if(NOT WIN32)
  zentavo_gtest(scheduler_tests unit
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/scheduler_test.cc ${CMAKE_CURRENT_LIST_DIR}/fake_ports.cc
    LIBS app_core scheduler)
endif()
