#include "engine/QVWorkerPool.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qv {

namespace {

// One call of RunWorkers. Queued once per worker the pool may take; a thread
// that finds every worker claimed just drops its entry.
struct Job {
  Job(int32_t workers, const std::function<void(int32_t)>& work) : Workers(workers), Work(work) {}

  // Claims and runs one worker; false when none was left.
  bool RunOne() {
    const int32_t worker = next.fetch_add(1);
    if (worker >= Workers) return false;
    Work(worker);
    const std::lock_guard<std::mutex> guard(lock);
    if (++finished == Workers) done.notify_all();
    return true;
  }
  void Wait() {
    std::unique_lock<std::mutex> guard(lock);
    done.wait(guard, [this] { return finished == Workers; });
  }

  const int32_t Workers;
  // Valid while the job is not finished: the caller waits for every worker.
  const std::function<void(int32_t)>& Work;
  std::atomic<int32_t> next{0};
  std::mutex lock;
  std::condition_variable done;
  int32_t finished = 0;
};

class WorkerPool {
 public:
  WorkerPool() = default;
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Offers job's workers but the caller's own to the pool, starting threads
  // up to that number.
  void Offer(const std::shared_ptr<Job>& job) {
    const size_t helpers = static_cast<size_t>(job->Workers - 1);
    {
      const std::lock_guard<std::mutex> guard(lock_);
      while (threads_.size() < helpers) threads_.emplace_back([this] { Serve(); });
      for (size_t i = 0; i < helpers; ++i) queue_.push_back(job);
    }
    if (helpers == 1) {
      wake_.notify_one();
    } else {
      wake_.notify_all();
    }
  }

  int32_t ThreadCount() {
    const std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int32_t>(threads_.size());
  }

 private:
  void Serve() {
    for (;;) {
      std::shared_ptr<Job> job;
      {
        std::unique_lock<std::mutex> guard(lock_);
        wake_.wait(guard, [this] { return !queue_.empty(); });
        job = std::move(queue_.front());
        queue_.pop_front();
      }
      job->RunOne();
    }
  }

  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<Job>> queue_;
  std::vector<std::thread> threads_;  // never joined: they end with the process
};

// The pool lives until the process ends and is never destroyed: at exit a
// render thread may still be handing it rows while static destructors run,
// and its waiting threads end with the process.
WorkerPool& Pool() {
  static WorkerPool& pool = *new WorkerPool;
  return pool;
}

}  // namespace

void RunWorkers(int32_t workers, const std::function<void(int32_t worker)>& work) {
  if (workers < 1) return;
  if (workers == 1) {
    work(0);
    return;
  }
  const auto job = std::make_shared<Job>(workers, work);
  Pool().Offer(job);
  while (job->RunOne()) {
  }
  job->Wait();
}

int32_t PoolThreadCount() { return Pool().ThreadCount(); }

}  // namespace qv
