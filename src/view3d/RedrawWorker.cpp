#include "view3d/RedrawWorker.h"

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
  std::exception_ptr mine;
  const Clock::time_point start = Clock::now();
  try {
    call(job, 0);
  } catch (...) {
    mine = std::current_exception();
  }
  seconds_[0] = std::chrono::duration<double>(Clock::now() - start).count();
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
    std::exception_ptr error;
    const Clock::time_point start = Clock::now();
    try {
      call(job, 1);
    } catch (...) {
      error = std::current_exception();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    lock.lock();
    seconds_[1] = seconds;
    error_ = error;
    busy_ = false;
    done_.notify_one();
  }
}
