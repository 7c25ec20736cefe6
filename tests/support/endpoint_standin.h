// The table that the stand-in for the system's audio device enumerator (endpoint_standin.dll)
// shares with the tests: a named file mapping, made by the test before Tavolet starts. An
// endpoint listed here keeps its level and mute in the table; any other is the system's own.
#pragma once

#include <windows.h>

constexpr char kEndpointTableName[] = "TavoletEndpointStandIn";
constexpr LONG kStandInEndpointCount = 4;
constexpr size_t kStandInIdLength = 128;

struct StandInEndpoint {
  wchar_t id[kStandInIdLength];
  float level;
  LONG muted;
  LONG writes;  // successful level and mute writes, so a test can wait for one
};

struct StandInEndpointTable {
  LONG count;
  StandInEndpoint endpoints[kStandInEndpointCount];
};
