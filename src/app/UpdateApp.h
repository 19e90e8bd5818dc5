// The application object: start-up decides between the launcher role (copy to the shadow
// file, start it, end) and the shadow role (run the update dialog, then the hand-off).
// Main thread only.
#pragma once

#include "framework/WinApp.h"

class CUpdateApp : public CWinApp {
 public:
  // The whole program: returns 0, or -1 when a running shadow cannot be opened to stop it.
  BOOL InitInstance() override;
};

extern CUpdateApp theApp;
