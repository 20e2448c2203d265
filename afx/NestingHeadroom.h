// How many more window procedure calls this thread can nest. Windows nests them as deep as the
// stack allows; Wine refuses calls past a fixed depth per thread, and then silently skips window
// procedures and fails to create windows.
#pragma once

// Nests up to nWanted calls of a probe window's procedure on this thread and returns how many
// took place: nWanted where there is room, less (0 when not even the probe window could be made)
// where the thread is near its limit.
int AfxNestingHeadroom(int nWanted);
