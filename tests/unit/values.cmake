# Value semantics: run on the host, and as an i686 exe under Wine to prove the same double arithmetic and
# number parsing on Windows.
set(values_test_sources ${CMAKE_CURRENT_LIST_DIR}/text_test.cc ${CMAKE_CURRENT_LIST_DIR}/datetime_test.cc)
if(WIN32)
  zentavo_gtest(values_tests_win32 win32 SOURCES ${values_test_sources} LIBS values)
else()
  zentavo_gtest(values_tests unit SOURCES ${values_test_sources} LIBS values)
endif()
