#include "actions/sound/audio_worker.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "framework/com_apartment.h"
#include "framework/handles.h"
#include "framework/waits.h"

struct AudioWorker::Shared {
  std::mutex lock;
  std::function<void()> job;  // handed over, not yet begun
  bool busy = false;          // a job is handed over or under way
  bool stop = false;
  std::atomic<bool> abandoned{false};  // the job under way
  UniqueHandle wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  UniqueHandle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

namespace {

thread_local const std::atomic<bool>* currentJobAbandoned = nullptr;

DWORD WINAPI WorkerMain(void* parameter) {
  std::unique_ptr<std::shared_ptr<AudioWorker::Shared>> owned(
      static_cast<std::shared_ptr<AudioWorker::Shared>*>(parameter));
  AudioWorker::Shared& shared = **owned;
  ComApartment com(COINIT_MULTITHREADED);
  currentJobAbandoned = &shared.abandoned;
  for (;;) {
    WaitForSingleObject(shared.wake.get(), INFINITE);  // idle: nothing waits on this thread
    std::function<void()> job;
    {
      std::lock_guard<std::mutex> hold(shared.lock);
      if (shared.stop) break;
      job = std::exchange(shared.job, nullptr);
      if (!job) continue;  // taken back before it began
      shared.abandoned = false;
    }
    job();
    job = nullptr;  // what it holds goes inside the apartment
    std::lock_guard<std::mutex> hold(shared.lock);
    shared.busy = false;
    SetEvent(shared.done.get());
  }
  return 0;
}

}  // namespace

bool AudioJobAbandoned() { return currentJobAbandoned && *currentJobAbandoned; }

AudioWorker::AudioWorker(DWORD answerMs)
    : shared_(std::make_shared<Shared>()), answerMs_(answerMs) {}

AudioWorker::~AudioWorker() {
  if (!thread_) return;
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->stop = true;
    shared_->job = nullptr;
  }
  SetEvent(shared_->wake.get());
  WaitForSingleObject(thread_, answerMs_);
  CloseHandle(thread_);
}

bool AudioWorker::StartThread() {
  if (thread_) return true;
  if (!shared_->wake || !shared_->done) return false;
  auto* parameter = new std::shared_ptr<Shared>(shared_);
  thread_ = CreateThread(nullptr, 0, &WorkerMain, parameter, 0, nullptr);
  if (!thread_) delete parameter;
  return thread_ != nullptr;
}

bool AudioWorker::Run(std::function<void()> job) {
  if (!StartThread()) return false;
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    if (shared_->busy) return false;  // the service has not answered the one before
    shared_->job = std::move(job);
    shared_->busy = true;
    ResetEvent(shared_->done.get());
  }
  SetEvent(shared_->wake.get());
  if (WaitHandlingSentMessages(shared_->done.get(), answerMs_) == WAIT_OBJECT_0) return true;
  std::lock_guard<std::mutex> hold(shared_->lock);
  if (!shared_->busy) return true;  // ended just now
  if (shared_->job) {
    shared_->job = nullptr;
    shared_->busy = false;
  } else {
    shared_->abandoned = true;
  }
  return false;
}
