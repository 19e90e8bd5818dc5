# The whole program under Wine and Xvfb: a stand-in platform, and the end-to-end driver that
# starts Pellarin.exe in scratch installations against a loopback HTTP server.
add_executable(Tarsuvio WIN32 support/tarsuvio/Tarsuvio.cpp)
set_target_properties(Tarsuvio PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/support)
