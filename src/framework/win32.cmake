# Our own application/dialog framework: application object and entry, modal dialogs with a
# message map, the paint device context and the sockets start-up.
add_library(pellarin_framework STATIC
  framework/WinApp.cpp
  framework/Dialog.cpp
  framework/Sockets.cpp
)
target_include_directories(pellarin_framework PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pellarin_framework PUBLIC pellarin_core ws2_32 comctl32)
