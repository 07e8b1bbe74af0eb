#include "view3d/RedrawWorker.h"

namespace trelvano {

namespace {

// Runs part `part` of a job: its exception, if it threw, and in `seconds` its time.
template <class Call>
std::exception_ptr timedPart(Call call, void* job, int part, double& seconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  std::exception_ptr error;
  try {
    call(job, part);
  } catch (...) {
    error = std::current_exception();
  }
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return error;
}

}  // namespace

RedrawWorker::RedrawWorker() : thread_([this] { loop(); }) {}

RedrawWorker::~RedrawWorker() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void RedrawWorker::run(Call call, void* job) {
  {
    std::lock_guard lock(mutex_);
    call_ = call;
    job_ = job;
    busy_ = true;
    error_ = nullptr;
  }
  wake_.notify_one();
  const std::exception_ptr mine = timedPart(call, job, 0, seconds_[0]);
  // Part 1 works on the same data: wait for it even when part 0 failed.
  std::exception_ptr theirs;
  {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return !busy_; });
    theirs = error_;
    error_ = nullptr;
  }
  if (mine) std::rethrow_exception(mine);
  if (theirs) std::rethrow_exception(theirs);
}

void RedrawWorker::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || call_; });
    if (quit_) return;
    const Call call = call_;
    void* const job = job_;
    call_ = nullptr;
    lock.unlock();
    double seconds;
    const std::exception_ptr error = timedPart(call, job, 1, seconds);
    lock.lock();
    seconds_[1] = seconds;
    error_ = error;
    busy_ = false;
    done_.notify_one();
  }
}

}  // namespace trelvano
