// Lead bytes of the system's ANSI code page: the one captured text is in, and the one other
// programs read the command lines Tavolet starts them with in.
#pragma once

#include <windows.h>

inline bool SystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }
