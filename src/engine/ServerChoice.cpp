// Reading the server list, the random choice of a server and the start of the update worker.
// All of it runs once, on the user-interface thread, inside the dialog's initialisation.
#include <cstdlib>

#include "engine/Updater.h"

void CUpdater::ReadUpdateList() { ReadUpdateListFile("updatelist.ini", m_listServers); }

bool CUpdater::ChooseServer(int nLineType) {
  if (m_listServers.empty()) return false;
  // The random generator is initialised at start-up; rand() gives 0..32767 here.
  int nIndex = ChooseServerIndex(m_listServers, nLineType, rand() & 0x7FFF);
  if (nIndex < 0) return false;
  const ServerEntry& server = m_listServers[static_cast<size_t>(nIndex)];
  return StartWorker(server.szHost, static_cast<uint16_t>(server.nPort & 0xFFFF));
}

bool CUpdater::StartWorker(const char* szHost, uint16_t nPort) {
  m_strHost = szHost;
  m_nPort = nPort;
  HANDLE hOld = m_hWorkerThread.exchange(nullptr);
  if (hOld != nullptr) {
    // Only one worker is ever started; a recorded one cannot be asked to stop.
    TerminateThread(hOld, 1);
    WaitForSingleObject(hOld, 1000);
    CloseHandle(hOld);
  }
  // Suspended until recorded, so the worker's own clearing of the field cannot come first.
  HANDLE hWorker = CreateThread(nullptr, 0, WorkerThreadProc, this, CREATE_SUSPENDED, nullptr);
  if (hWorker != nullptr) {
    m_hWorkerThread.store(hWorker);
    ResumeThread(hWorker);
  }
  return true;
}
