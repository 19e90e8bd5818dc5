#include "publish/Progress.h"

namespace {

double Mib(uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

ProgressMeter::ProgressMeter(FILE* out, bool enabled, bool terminal, size_t totalFiles, uint64_t totalBytes,
                             size_t everyFiles)
    : m_out(enabled ? out : nullptr),
      m_bTerminal(terminal),
      m_nTotalFiles(totalFiles),
      m_nTotalBytes(totalBytes),
      m_nEveryFiles(everyFiles == 0 ? 1 : everyFiles),
      m_last(std::chrono::steady_clock::now()) {}

void ProgressMeter::AddBytes(uint64_t n) {
  m_nBytes += n;
  MaybeReport(false);
}

void ProgressMeter::FileDone() {
  ++m_nFiles;
  MaybeReport(true);
}

void ProgressMeter::Finish() {
  if (m_out == nullptr || !m_bWritten) return;
  if (m_nReportedFiles != m_nFiles || m_nReportedBytes != m_nBytes) Report();
  if (m_bTerminal) fputc('\n', m_out);
  fflush(m_out);
}

void ProgressMeter::MaybeReport(bool fileBoundary) {
  if (m_out == nullptr) return;
  auto now = std::chrono::steady_clock::now();
  if ((fileBoundary && m_nFiles % m_nEveryFiles == 0) || now - m_last >= std::chrono::seconds(1)) {
    m_last = now;
    Report();
  }
}

void ProgressMeter::Report() {
  fprintf(m_out, "%spellarin-publish: %llu/%llu files, %.1f/%.1f MiB%s", m_bTerminal ? "\r" : "",
          static_cast<unsigned long long>(m_nFiles), static_cast<unsigned long long>(m_nTotalFiles),
          Mib(m_nBytes), Mib(m_nTotalBytes), m_bTerminal ? "" : "\n");
  fflush(m_out);
  m_bWritten = true;
  m_nReportedFiles = m_nFiles;
  m_nReportedBytes = m_nBytes;
}
