#include "framework/file_io.h"

bool SaveConfigFile(const std::string& path, std::string_view bytes, bool keepOriginal,
                    bool finalSave) {
  if (!keepOriginal && ReplaceFileContents(path, bytes)) return true;
  if (keepOriginal || finalSave) ReplaceFileContents(UnsavedPathFor(path), bytes);
  return false;
}
