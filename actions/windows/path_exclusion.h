// Whether a program path is excluded from window position memory.
#pragma once

#include <list>
#include <string>

// True when any of the strings occurs in the path (case-sensitive substring search).
bool IsExcludedPath(const std::string& path, const std::list<std::string>& excluded);
