# The updater object, the update run and the worker, against the test's own fault server.
add_executable(engine_tests engine/UpdaterTest.cpp engine/UpdateRunTest.cpp)
target_link_libraries(engine_tests PRIVATE pellarin_engine pellarin_test_support GTest::gtest_main ws2_32)
add_test(NAME engine_tests
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run --host python3
          ${CMAKE_CURRENT_SOURCE_DIR}/support/run_with_servers.py -- wine $<TARGET_FILE:engine_tests>)
