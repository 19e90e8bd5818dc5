# The HTTP download belongs to the engine library (engine/win32.cmake); nothing of its own.
