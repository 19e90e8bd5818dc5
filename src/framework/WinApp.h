// The application object of our small framework: one global instance of a class derived from
// CWinApp, whose InitInstance the program entry calls once on the main thread. Windows only.
#pragma once

#include <windows.h>

#include <string>

class CDialog;

class CWinApp {
 public:
  // Registers this object as the process's application; exactly one may exist.
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // The program's work; returns 0 to end the process, anything else to enter the message loop.
  virtual BOOL InitInstance();

  // Runs the message loop while a main window exists; returns the exit code.
  virtual int Run();

  // The first command-line parameter that begins with neither "-" nor "/"; false when none.
  bool ParseCommandLine(std::string& strArgument) const;

  // Records the registry key for settings; nothing is read or written under it.
  void SetRegistryKey(const char* szKey);

  HINSTANCE m_hInstance = nullptr;
  CDialog* m_pMainWnd = nullptr;  // not owned
  std::string m_strRegistryKey;
};

// The application object registered by its constructor, or null.
CWinApp* AfxGetApp();

// The module handle of the executable.
HINSTANCE AfxGetInstanceHandle();
