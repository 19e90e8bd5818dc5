// The count of consecutive self-update relaunches, kept in an environment variable that a
// relaunched shadow inherits. Bounded so that a server whose copy of the updater never
// matches its list cannot make the shadow relaunch itself for ever. Windows only.
#pragma once

// Name of the environment variable holding the count.
constexpr const char* SELF_UPDATE_COUNT_VAR = "PELLARIN_SELF_UPDATE_RELAUNCHES";
// Relaunches allowed in a row; past them the hand-off goes on as without a self-update.
constexpr int MAX_SELF_UPDATE_RELAUNCHES = 3;

// Removes the count from this process's environment (and so from its children's).
void ResetSelfUpdateCount();

// True, and the count raised for the child to inherit, while fewer relaunches than the bound
// have happened in a row; false once the bound is reached.
bool TakeSelfUpdateRelaunch();
