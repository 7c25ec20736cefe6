// Building the text an action passes along.
#pragma once

#include <cstdint>
#include <string>

// The captured text of the entry's text source, in the entry's encoding; empty when none. A
// selection is captured only once the user has let go of the hot key (its key given here).
std::string BuildArgument(int32_t textOption, uint32_t hotKeyVirtualKey);
