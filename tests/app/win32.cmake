# The whole program under Wine and Xvfb: a stand-in platform, start-up's texts, and the
# end-to-end driver that starts Pellarin.exe in scratch installations against a loopback
# HTTP server.
add_executable(Tarsuvio WIN32 support/tarsuvio/Tarsuvio.cpp)
set_target_properties(Tarsuvio PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/support)

add_executable(app_tests app/StartupTest.cpp app/ResourcesTest.cpp)
target_link_libraries(app_tests PRIVATE pellarin_app pellarin_test_support GTest::gtest_main)
add_dependencies(app_tests Pellarin)  # the resources are read from the built program
add_test(NAME app_tests COMMAND app_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR})

# End to end: each group is one driver run on one display, its scenarios one after another.
foreach(group update dialog)
  add_test(NAME app_e2e_${group}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run --host python3 ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e.py
            --build ${CMAKE_BINARY_DIR} ${group})
  set_tests_properties(app_e2e_${group} PROPERTIES TIMEOUT 300 LABELS e2e)
endforeach()
add_custom_target(app_e2e_programs DEPENDS Pellarin Tarsuvio)
