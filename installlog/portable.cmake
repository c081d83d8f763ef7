# The install-log reader, parser and writer need no Win32: they go into the
# portable core, so that the native build runs them under the sanitizers and
# the fuzzer (tests/native/fuzz.cmake builds them again with coverage).
set(LM_INSTALLLOG_PORTABLE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/log_format.cpp)
list(APPEND LM_PORTABLE_SOURCES ${LM_INSTALLLOG_PORTABLE_SOURCES})
