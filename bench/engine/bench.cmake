# Download engine timings against a loopback nginx (bench/run-download.sh).
if(WIN32)
  add_executable(engine_bench engine/DownloadBench.cpp)
  target_link_libraries(engine_bench PRIVATE pellarin_engine psapi)
endif()
