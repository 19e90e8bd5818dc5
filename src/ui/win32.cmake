# The update window: skinned button, skin table, progress painting and the dialog.
add_library(pellarin_ui STATIC
  ui/WinButton.cpp
  ui/SkinTable.cpp
  ui/ProgressPainter.cpp
  ui/UpdateDlg.cpp
)
target_include_directories(pellarin_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(pellarin_ui PUBLIC pellarin_framework pellarin_engine gdi32 user32)
