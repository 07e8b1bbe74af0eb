#pragma once
// The second core of a redraw: one thread kept for the lifetime of a view,
// so a redraw starts no thread and allocates nothing. runParts() splits a job
// in two parts, runs part 1 there and part 0 on the calling thread, and
// returns when both are done.

#include "view3d/LabelBoard.h"
#include "view3d/StrokeArray.h"
#include "view3d/TerrainSurface.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace trelvano {

class RedrawWorker {
 public:
  RedrawWorker();
  ~RedrawWorker();
  RedrawWorker(const RedrawWorker&) = delete;
  RedrawWorker& operator=(const RedrawWorker&) = delete;

  // job(part, parts) for part 0 and 1 of 2. An exception of either part is
  // rethrown here once both ended, part 0's first.
  template <class Job>
  void runParts(Job& job) {
    run([](void* j, int part) { (*static_cast<Job*>(j))(part, 2); }, &job);
  }

  // Seconds each part of the last runParts took.
  double partSeconds(int part) const { return seconds_[part]; }
  // Where the caller splits its next job, kept here between redraws: the
  // renderer moves it so that both parts take equally long.
  double split = 0.5;
  // The screen positions of the point arrays a redraw strokes, kept so a
  // redraw allocates nothing.
  std::vector<ScreenPoint> screen;
  std::vector<RowSpan> blockRows;  // and the rows of their blocks
  // The terrain surface with its levels of detail and depth buffer.
  trelvano::TerrainSurface terrain;
  // Where the last picture's labels went.
  LabelBoard labels;

 private:
  using Call = void (*)(void*, int);
  void run(Call call, void* job);
  void loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  Call call_ = nullptr;  // the pending part 1; null while there is none
  void* job_ = nullptr;
  bool busy_ = false;
  bool quit_ = false;
  std::exception_ptr error_;
  double seconds_[2] = {0, 0};
  std::thread thread_;  // last: starts once everything above exists
};

// Runs job over two cores with a worker, else as one part on this thread.
template <class Job>
void runParts(RedrawWorker* worker, Job& job) {
  if (worker)
    worker->runParts(job);
  else
    job(0, 1);
}

}  // namespace trelvano
