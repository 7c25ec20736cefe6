// UTF-8 conversion of Shift-JIS text through the runtime's "Japanese" locale.
#pragma once

#include <string>

// Leaves the process locale at "C", whatever it was before.
std::string SjisToUtf8(const std::string& text);
std::string UrlEncodeUtf8(const std::string& text);
