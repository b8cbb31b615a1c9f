# libFuzzer targets, built by the fuzz preset (clang) in place of the product:
#
#   cmake --preset fuzz && cmake --build --preset fuzz -j2
#   ctest --preset fuzz                      # each target for ZENTAVO_FUZZ_SECONDS (20 s), label fuzz
#
# A longer run by hand keeps what it finds in a corpus of its own; the committed seeds are only read
# (libFuzzer writes new inputs into the first directory it is given):
#
#   mkdir -p /tmp/datetime-corpus
#   build/fuzz/datetime_fuzz -dict=tests/fuzz/datetime.dict -max_total_time=3600 -print_final_stats=1 \
#       /tmp/datetime-corpus tests/fuzz/corpus/datetime
#   build/fuzz/number_fuzz -dict=tests/fuzz/number.dict -max_total_time=3600 -print_final_stats=1 \
#       /tmp/number-corpus tests/fuzz/corpus/number
#   build/fuzz/scenario_fuzz -dict=tests/fuzz/scenario.dict -max_total_time=3600 -print_final_stats=1 \
#       /tmp/scenario-corpus tests/fuzz/corpus/scenario
#
# A crash leaves crash-<hash> in the working directory (in build/fuzz/fuzz-work/<target>/ under CTest);
# replay it with `build/fuzz/<target> <file>`.
#
# Only hex escapes may stand for GBK bytes in what these targets compile: clang has no -fexec-charset=GBK.

set(ZENTAVO_FUZZ_SECONDS 20 CACHE STRING "How long CTest runs each fuzz target, in seconds")

set(fuzz_dir ${CMAKE_SOURCE_DIR}/tests/fuzz)
set(fuzz_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_compile_options(-Wall -Wextra -Wpedantic)

# The code under test, instrumented for coverage but without libFuzzer's main.
add_library(fuzz_values STATIC ${CMAKE_SOURCE_DIR}/values/text.cc ${CMAKE_SOURCE_DIR}/values/datetime.cc)
target_compile_options(fuzz_values PUBLIC -fsanitize=fuzzer-no-link ${fuzz_sanitizers})
target_link_options(fuzz_values PUBLIC -fsanitize=fuzzer ${fuzz_sanitizers})

# Adds a fuzz target and a CTest case that runs it for ZENTAVO_FUZZ_SECONDS on a fresh copy of its seeds.
function(zentavo_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS;DICT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set(work ${CMAKE_BINARY_DIR}/fuzz-work/${name})
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DFUZZER=$<TARGET_FILE:${name}> -DSEEDS=${fuzz_dir}/corpus/${ARG_CORPUS}
            -DDICT=${ARG_DICT} -DWORK=${work} -DSECONDS=${ZENTAVO_FUZZ_SECONDS}
            -P ${fuzz_dir}/run_fuzzer.cmake)
  math(EXPR timeout "${ZENTAVO_FUZZ_SECONDS} + 120")
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${timeout})
endfunction()

zentavo_fuzz_target(datetime_fuzz SOURCES ${fuzz_dir}/datetime_fuzz.cc LIBS fuzz_values
  CORPUS datetime DICT ${fuzz_dir}/datetime.dict)
zentavo_fuzz_target(number_fuzz SOURCES ${fuzz_dir}/number_fuzz.cc LIBS fuzz_values
  CORPUS number DICT ${fuzz_dir}/number.dict)

# The scenario parser of shutdown-sim, with the simulated platform it links against.
file(GLOB fuzz_sim_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/sim/*.cc)
if(fuzz_sim_sources)
  add_library(fuzz_sim STATIC ${fuzz_sim_sources})
  target_link_libraries(fuzz_sim PUBLIC fuzz_values)
  zentavo_fuzz_target(scenario_fuzz SOURCES ${fuzz_dir}/scenario_fuzz.cc LIBS fuzz_sim
    CORPUS scenario DICT ${fuzz_dir}/scenario.dict)
endif()
