#include "app/SelfUpdateCount.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

void ResetSelfUpdateCount() { SetEnvironmentVariableA(SELF_UPDATE_COUNT_VAR, nullptr); }

bool TakeSelfUpdateRelaunch() {
  char szValue[16] = {};
  DWORD n = GetEnvironmentVariableA(SELF_UPDATE_COUNT_VAR, szValue, sizeof(szValue));
  int nCount = n > 0 && n < sizeof(szValue) ? atoi(szValue) : 0;
  if (nCount < 0) nCount = 0;
  if (nCount >= MAX_SELF_UPDATE_RELAUNCHES) return false;
  snprintf(szValue, sizeof(szValue), "%d", nCount + 1);
  SetEnvironmentVariableA(SELF_UPDATE_COUNT_VAR, szValue);
  return true;
}
