# The progress painting and the skinned button, drawn into memory bitmaps under Wine.
add_executable(ui_tests ui/PaintingTest.cpp)
target_link_libraries(ui_tests PRIVATE pellarin_ui pellarin_test_support GTest::gtest_main)
add_dependencies(ui_tests Pellarin)  # the default skin is copied beside Pellarin.exe
add_test(NAME ui_tests COMMAND ui_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
