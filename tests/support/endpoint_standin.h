// The table that the stand-in for the system's audio device enumerator (endpoint_standin.dll)
// shares with the tests: a named file mapping, made by the test before Tavolet starts. An
// endpoint listed here keeps its level and mute in the table; any other is the system's own.
// The stand-in also makes endpoints of its own (devices plugged in and out during a test), can
// name another default render endpoint, and can stop answering, as a hung audio service does.
// The audio sessions of programs that play on an endpoint of the table live here too.
#pragma once

#include <windows.h>

constexpr char kEndpointTableName[] = "TavoletEndpointStandIn";
constexpr LONG kStandInEndpointCount = 6;
constexpr LONG kStandInSessionCount = 8;
constexpr size_t kStandInIdLength = 128;

enum StandInOrigin : LONG {
  kSystemEndpoint = 0,      // the system's own; only its volume is kept here
  kOwnRenderEndpoint = 1,   // made by the stand-in
  kOwnCaptureEndpoint = 2,  // made by the stand-in
};

struct StandInEndpoint {
  wchar_t id[kStandInIdLength];
  float level;
  LONG muted;
  LONG writes;  // successful level and mute writes, so a test can wait for one
  LONG origin;
  LONG present;  // the stand-in's own: 1 plugged in and active, 0 unplugged
};

struct StandInSession {
  LONG ready;     // set last, once the fields below hold
  LONG endpoint;  // index into the endpoints
  DWORD processId;
  float level;
  LONG muted;
  LONG writes;
};

struct StandInEndpointTable {
  LONG count;
  StandInEndpoint endpoints[kStandInEndpointCount];
  LONG defaultRender;  // 1 + the index of the default render endpoint; 0: the system's default
  LONG hung;           // while not 0, the enumerator's calls do not return (at most 30 s)
  LONG sessionsTaken;  // slots handed out, some perhaps not ready yet
  StandInSession sessions[kStandInSessionCount];
};

// A session of a program that plays on endpoint `endpoint`; null when the table is full.
inline StandInSession* AddStandInSession(StandInEndpointTable* table, LONG endpoint,
                                         DWORD processId, float level) {
  const LONG slot = InterlockedIncrement(&table->sessionsTaken) - 1;
  if (slot >= kStandInSessionCount) return nullptr;
  StandInSession& session = table->sessions[slot];
  session.endpoint = endpoint;
  session.processId = processId;
  session.level = level;
  session.muted = 0;
  session.writes = 0;
  InterlockedExchange(&session.ready, 1);
  return &session;
}
