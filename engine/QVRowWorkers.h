#pragma once
// The worker scheme shared by the three node kinds: the pass's workers take
// the rows top to bottom, each the next row nobody has taken yet (so a worker
// slowed by another thread of the machine takes fewer rows instead of holding
// the others up at the end), each reporting progress after every row and
// checking the pass's stop token before every row. The workers run on the
// process's worker pool (QVWorkerPool.h) and on the calling thread. The
// node's Compute calls it on the render thread.
//
// A row can be long (a row of thousands of pixels at depth 10^7 takes
// minutes), so the inner loops look at the stop too, every StopCheckSteps
// steps, and give the row up (PassStopped) when it was requested: a stop is
// answered within milliseconds whatever the size, depth or method.
//
// A stopped node: its rows are partly old, partly new. ComputeRows reports the
// stop, the node then neither takes a new Stamp nor records its inputs, so it
// stays out of date and the next pass recomputes it (and everything after it).
#include <functional>
#include <stop_token>
#include <string>

#include "engine/QVPass.h"
#include "engine/kernels/QVOrbitLoop.h"

namespace qv {

/// Computes one row; built once per worker on that worker's thread. It may
/// throw PassStopped to give the row up part-way.
using RowFunction = std::function<void(int row)>;

/// Runs the rows of a node named name with the given height, each row once.
/// makeWorker(i) is called on the thread that runs worker i, when that worker
/// takes its first row, and returns that worker's row function, so per-worker
/// state (an output-method clone, row buffers) never crosses threads; a
/// worker that gets no row builds nothing. A row's result must not depend on
/// which worker computes it. Returns false when the pass was stopped before
/// every row was computed. Rethrows the exception of the lowest-numbered
/// worker that threw. Thread: the render thread (or any thread that owns the
/// node during a pass).
bool ComputeRows(const Pass& pass, const std::string& name, int height,
                 const std::function<RowFunction(int worker)>& makeWorker);

}  // namespace qv
