// The program that opens http URLs and the program registered for a file type, read from the
// registry (read only), each as a quoted program path.
#pragma once

#include <string>

std::string GetBrowserCommand();
// The browser's command line for this URL (escaped by EscapeUrlBytes): its registered command
// with its own switches, environment variables expanded, the URL where it has the browser
// take one, so the URL is always exactly one argument.
std::string GetBrowserCommandLine(const std::string& url);
// Empty text when nothing is registered (also for an empty extension).
std::string GetAssociatedCommand(const std::string& extension, const std::string& verb);
std::string GetQuotedProgramPath(const std::string& commandText);
