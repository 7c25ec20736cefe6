// A thread of its own for every call into the audio service (Core Audio and the mixer): a
// service that hangs costs the key press that met it, never Tavolet's window.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

class AudioWorker {
 public:
  explicit AudioWorker(DWORD answerMs);
  // Lets the thread end; one held up in the service is left to the end of the process.
  ~AudioWorker();
  AudioWorker(const AudioWorker&) = delete;
  AudioWorker& operator=(const AudioWorker&) = delete;

  // Runs the job on the worker's thread (COM's multithreaded apartment) and waits for it at
  // most answerMs, answering sent messages meanwhile. False when it did not end in that time,
  // or at once when the job before it is still under way; a job that had not begun by then
  // never runs, and one under way changes nothing more (AudioJobAbandoned).
  bool Run(std::function<void()> job);

  struct Shared;

 private:
  bool StartThread();

  std::shared_ptr<Shared> shared_;
  HANDLE thread_ = nullptr;
  DWORD answerMs_;
};

// Inside a job: true once its caller has stopped waiting for it. Its writes are skipped then,
// so a key the user gave up on does not take effect later, when the service comes back.
bool AudioJobAbandoned();
