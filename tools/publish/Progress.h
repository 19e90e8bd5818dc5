// Progress lines of a publication: files done of all, and bytes. Portable: no Windows header.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

class ProgressMeter {
 public:
  // Reports to out (nothing when out is nullptr or enabled is false) after every everyFiles
  // files and at least once a second; on a terminal each line replaces the one before.
  ProgressMeter(FILE* out, bool enabled, bool terminal, size_t totalFiles, uint64_t totalBytes,
                size_t everyFiles);

  // Counts bytes copied of the current file.
  void AddBytes(uint64_t n);

  // Counts one finished file.
  void FileDone();

  // Writes the last line, if any line was written.
  void Finish();

 private:
  void Report();
  void MaybeReport(bool fileBoundary);

  FILE* m_out;
  bool m_bTerminal;
  size_t m_nTotalFiles;
  uint64_t m_nTotalBytes;
  size_t m_nEveryFiles;
  size_t m_nFiles = 0;
  uint64_t m_nBytes = 0;
  bool m_bWritten = false;
  size_t m_nReportedFiles = 0;  // the figures of the last line written
  uint64_t m_nReportedBytes = 0;
  std::chrono::steady_clock::time_point m_last;
};
