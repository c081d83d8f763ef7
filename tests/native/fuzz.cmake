# libFuzzer target of the install-log reader and parser (clang only), and a CTest
# test that runs it for a bounded time over the seed corpus in corpus/. The
# reader is compiled here again, with the fuzzer's coverage instrumentation.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(STATUS "log fuzzer: not built (needs clang, found ${CMAKE_CXX_COMPILER_ID})")
  return()
endif()

set(LM_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_executable(log_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/log_fuzz.cpp ${LM_INSTALLLOG_PORTABLE_SOURCES})
target_include_directories(log_fuzzer PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(log_fuzzer PRIVATE ${LM_FUZZ_FLAGS})
target_link_options(log_fuzzer PRIVATE ${LM_FUZZ_FLAGS})

set(LM_FUZZ_MAX_TIME 20 CACHE STRING "Seconds the log_fuzz test runs the fuzzer")
# New inputs go to the first folder, in the build tree; the seeds are only read.
set(LM_FUZZ_WORK ${CMAKE_CURRENT_BINARY_DIR}/fuzz-corpus)
set(LM_FUZZ_ARTIFACTS ${CMAKE_CURRENT_BINARY_DIR}/fuzz-artifacts)
file(MAKE_DIRECTORY ${LM_FUZZ_WORK} ${LM_FUZZ_ARTIFACTS})
add_test(NAME log_fuzz
  COMMAND log_fuzzer -max_total_time=${LM_FUZZ_MAX_TIME} -timeout=10 -rss_limit_mb=1024
          -max_len=2048 -print_final_stats=1 -artifact_prefix=${LM_FUZZ_ARTIFACTS}/
          ${LM_FUZZ_WORK} ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
set_tests_properties(log_fuzz PROPERTIES TIMEOUT 120)
