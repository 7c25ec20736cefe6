// The machine's audio endpoints as the volume operations see them. Since Windows Vista the
// mixer's controls belong to the calling program's own audio session, so each mixer device
// stands for the endpoint it was made from and the operations act on that endpoint instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct EndpointLevel {
  float level = 0.0f;  // scalar, 0.0 to 1.0
  bool muted = false;
};

// One program's audio session on a render endpoint: its own level and mute.
class SessionVolume {
 public:
  virtual ~SessionVolume() = default;
  virtual uint32_t ProcessId() = 0;
  virtual bool Read(EndpointLevel& level) = 0;
  virtual bool WriteLevel(float level) = 0;
  virtual bool WriteMute(bool muted) = 0;
};

// The endpoints as they are at one key press (devices come and go, the default changes, and the
// mixer devices are numbered anew); whatever it opened is released when it ends.
class EndpointSession {
 public:
  virtual ~EndpointSession() = default;
  // The id of the endpoint the mixer device stands for now; empty when none can be found.
  virtual std::wstring IdOf(int32_t mixerDevice) = 0;
  // The default render endpoint; empty when there is none.
  virtual std::wstring DefaultRender() = 0;
  // Every active endpoint, render and capture.
  virtual std::vector<std::wstring> Active() = 0;
  // False for an endpoint that is gone, unplugged or disabled.
  virtual bool Read(const std::wstring& id, EndpointLevel& level) = 0;
  virtual bool WriteLevel(const std::wstring& id, float level) = 0;
  virtual bool WriteMute(const std::wstring& id, bool muted) = 0;
  // The audio sessions of the programs on every active render endpoint.
  virtual std::vector<std::unique_ptr<SessionVolume>> RenderSessions() { return {}; }
};

class AudioEndpoints {
 public:
  virtual ~AudioEndpoints() = default;
  // Null when the system has no endpoint volumes (before Vista): the mixer itself is used.
  virtual std::unique_ptr<EndpointSession> Open() = 0;
};

// Core Audio, through the calling thread's COM apartment.
AudioEndpoints& SystemAudioEndpoints();
// No endpoints at all: every device keeps the mixer path.
AudioEndpoints& NoAudioEndpoints();
