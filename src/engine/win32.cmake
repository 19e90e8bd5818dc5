# The update engine and the HTTP download on WinINet.
add_library(pellarin_engine STATIC
  net/HttpDownloader.cpp
  engine/Globals.cpp
  engine/Updater.cpp
  engine/UpdateRun.cpp
  engine/ServerChoice.cpp
  engine/UpdateTarget.cpp
)
target_include_directories(pellarin_engine PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pellarin_engine PUBLIC pellarin_core wininet winmm gdi32 user32)
