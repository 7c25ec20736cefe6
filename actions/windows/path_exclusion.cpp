#include "actions/windows/path_exclusion.h"

bool IsExcludedPath(const std::string& path, const std::list<std::string>& excluded) {
  for (const std::string& part : excluded) {
    if (path.find(part) != std::string::npos) return true;
  }
  return false;
}
