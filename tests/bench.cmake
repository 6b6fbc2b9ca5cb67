# Every Windows test runs inside the bench: bench.start and bench.stop are CTest
# fixtures, so the bench is stopped also when tests fail.
set(NAVEKO_BENCH_DIR ${CMAKE_BINARY_DIR}/bench)
add_test(NAME bench.start COMMAND ${PROJECT_SOURCE_DIR}/tools/bench.sh start ${NAVEKO_BENCH_DIR})
set_tests_properties(bench.start PROPERTIES FIXTURES_SETUP bench TIMEOUT 300)
add_test(NAME bench.stop COMMAND ${PROJECT_SOURCE_DIR}/tools/bench.sh stop ${NAVEKO_BENCH_DIR})
set_tests_properties(bench.stop PROPERTIES FIXTURES_CLEANUP bench)

function(naveko_wine_test name)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED bench RESOURCE_LOCK bench
                       ENVIRONMENT "NAVEKO_BENCH=${NAVEKO_BENCH_DIR}" TIMEOUT 300)
endfunction()
