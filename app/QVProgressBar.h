#pragma once
// The progress display of a headless render on a terminal: one line per node
// (name, a bar, rows done of rows, percent, time spent on the node), redrawn in
// place while the node computes, and a closing line with the picture size, the
// time taken and the pixels per second. It is fed snapshots of the engine's
// progress record by the thread that polls them (the command line's main
// thread); the render's workers never reach it. Not thread-safe: BarSink
// serialises the reports of a render service.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/QVMain.h"
#include "render/QVProgressSink.h"

namespace qv {

/// The text of one node's line, without line end: name, bar, "done/height",
/// percent and seconds spent.
std::string ProgressLine(const std::string& name, int done, int height, double seconds);

/// The closing line, without line end: "W x H pixels in S s (N pixels per second)".
std::string RenderSummaryLine(int32_t width, int32_t height, double seconds);

class QVProgressBar {
 public:
  /// Draws on out, which must be a terminal (it relies on carriage returns).
  explicit QVProgressBar(std::FILE* out) : out_(out) {}

  /// Shows snapshot, taken `seconds` after the render started. A snapshot of
  /// a node other than the one on screen completes the line on screen (nodes
  /// are computed one after another, so that node has finished).
  void Show(const QVProgress::Snapshot& snapshot, double seconds);
  /// Ends the line on screen, if any, so that what follows starts a new line.
  void EndLine();
  /// Ends the line on screen and writes the closing line.
  void Finish(int32_t width, int32_t height, double seconds);

 private:
  void Draw(int done, double seconds);

  std::FILE* out_;
  bool lineOpen_ = false;
  std::string name_;
  int height_ = 0;
  // When the node on screen began, in seconds after the render started: the
  // start of the render, or when the node before it was seen to be finished.
  double started_ = 0;
};

/// A progress sink that shows each report on bar, with the seconds since
/// start; reports from several threads are drawn one at a time. bar must
/// outlive the render, and the caller uses bar itself only once the render
/// has returned.
ProgressSink BarSink(QVProgressBar& bar, std::chrono::steady_clock::time_point start);

}  // namespace qv
