// The programs a test run starts, recorded by process id and start time (so a reused id is
// never taken for one of them) in the file that TAVOLET_TEST_PROCESSES names. A later test
// ends whatever an earlier one left running, whichever way that one ended.
#pragma once

#include <windows.h>

// Records the process; nothing happens when the run keeps no record.
void RecordStartedProcess(HANDLE process);
// Ends every recorded process other than this one that still runs; returns how many it ended.
int EndLeftoverProcesses();
