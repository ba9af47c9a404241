#pragma once
// The threads that run the workers of every pass: started when a pass first
// asks for them and kept until the process ends, so a pass does not pay for
// starting threads at each node and band. The pool holds no project state:
// it only runs the worker functions that ComputeRows hands it.
//
// A job is a number of workers. The thread that runs the job claims workers
// too and runs them itself while the pool's threads claim the rest, then
// waits only for the workers already running elsewhere. So a job finishes
// even when every pool thread is busy with another job (two projects
// rendering side by side, a preview beside a render), and a job run from a
// pool thread cannot deadlock.
#include <cstdint>
#include <functional>

namespace qv {

/// Runs work(0) ... work(workers - 1), each on some thread, and returns when
/// all have returned; up to workers of them run at once. work must not throw.
/// Thread: any.
void RunWorkers(int32_t workers, const std::function<void(int32_t worker)>& work);

/// Threads the pool holds now (they never end before the process).
int32_t PoolThreadCount();

}  // namespace qv
