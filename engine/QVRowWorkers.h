#pragma once
// The row-interleaved worker scheme shared by the three node kinds: the pass's
// workers, worker i computing rows i, i + workers, ... below the height,
// each reporting progress after every row and checking the pass's stop token
// before every row. The node's Compute calls it on the render thread.
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

/// Runs the rows of a node named name with the given height. makeWorker(i) is
/// called on worker i's own thread and returns that worker's row function, so
/// per-worker state (an output-method clone, row buffers) never crosses threads.
/// Waits for the workers in creation order. Returns false when the pass was
/// stopped before every row was computed. Rethrows the first worker exception.
/// Thread: the render thread (or any thread that owns the node during a pass).
bool ComputeRows(const Pass& pass, const std::string& name, int height,
                 const std::function<RowFunction(int worker)>& makeWorker);

/// The row a worker computes after row, stepping by step (>= 1) below height;
/// -1 when none is left. Exact up to the largest height (no overflow past INT_MAX).
int NextRow(int row, int step, int height);

}  // namespace qv
