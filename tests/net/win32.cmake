# The HTTP download against the test's own fault server and an nginx of its own.
add_executable(net_tests net/HttpDownloaderTest.cpp)
target_link_libraries(net_tests PRIVATE pellarin_engine pellarin_test_support GTest::gtest_main ws2_32)
add_test(NAME net_tests
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run --host python3
          ${CMAKE_CURRENT_SOURCE_DIR}/support/run_with_servers.py --nginx -- wine $<TARGET_FILE:net_tests>)
