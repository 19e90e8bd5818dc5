# The product: Pellarin.exe with its resources, and the default skin copied beside it as Patch\.
add_library(pellarin_app STATIC
  app/StartupText.cpp
  app/SelfUpdateCount.cpp
  app/Launcher.cpp
  app/HandOff.cpp
)
target_include_directories(pellarin_app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pellarin_app PUBLIC pellarin_ui pellarin_framework pellarin_engine psapi shell32 winmm)

add_executable(Pellarin WIN32 app/UpdateApp.cpp app/Pellarin.rc)
target_link_libraries(Pellarin PRIVATE pellarin_app)
set_target_properties(Pellarin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
set_source_files_properties(app/Pellarin.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_CURRENT_SOURCE_DIR}
  OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/app/Pellarin.ico;${CMAKE_CURRENT_SOURCE_DIR}/app/Pellarin.manifest;${CMAKE_CURRENT_SOURCE_DIR}/app/resource.h")

file(GLOB PELLARIN_SKIN_FILES ${PROJECT_SOURCE_DIR}/assets/Patch/*.bmp)
add_custom_command(TARGET Pellarin POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/Patch
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PELLARIN_SKIN_FILES} ${CMAKE_BINARY_DIR}/Patch
  VERBATIM)
