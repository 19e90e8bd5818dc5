# The release publisher: round trip through LoadFileList, refusals, replacement. Runs
# natively and under Wine.
add_executable(publish_tests tools/PublishTest.cpp)
target_link_libraries(publish_tests PRIVATE pellarin_publish_core pellarin_test_support GTest::gtest_main)
add_test(NAME publish_tests COMMAND publish_tests)

# The executable itself: a wrong command line must end with a failure status.
add_test(NAME publish_cli_usage COMMAND pellarin-publish)
set_tests_properties(publish_cli_usage PROPERTIES WILL_FAIL TRUE)
