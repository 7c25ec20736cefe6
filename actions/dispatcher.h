// Building the text an action passes along.
#pragma once

#include <cstdint>
#include <string>

// The captured text of the entry's text source, in the entry's encoding; empty when none.
std::string BuildArgument(int32_t textOption);
