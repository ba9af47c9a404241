#include "app/QVProgressBar.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace qv {

namespace {

constexpr int kBarWidth = 24;
constexpr size_t kNameWidth = 12;

std::string Format(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

std::string ProgressLine(const std::string& name, int done, int height, double seconds) {
  const int64_t total = std::max(height, 0);
  const int64_t rows = std::clamp<int64_t>(done, 0, total);
  const int64_t percent = total == 0 ? 100 : rows * 100 / total;
  const int64_t filled = total == 0 ? kBarWidth : rows * kBarWidth / total;
  std::string line = name;
  if (line.size() < kNameWidth) line.append(kNameWidth - line.size(), ' ');
  line += " [" + std::string(static_cast<size_t>(filled), '#') +
          std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] ";
  line += std::to_string(rows) + "/" + std::to_string(total) + " ";
  const std::string percentText = std::to_string(percent) + "%";
  line += std::string(percentText.size() < 4 ? 4 - percentText.size() : 0, ' ') + percentText;
  return line + "  " + Format("%.1f s", std::max(seconds, 0.0));
}

std::string RenderSummaryLine(int32_t width, int32_t height, double seconds) {
  const double pixels = static_cast<double>(width) * static_cast<double>(height);
  // A render faster than the clock's grain still gets a finite rate.
  const double rate = pixels / std::max(seconds, 1e-3);
  return std::to_string(width) + " x " + std::to_string(height) + " pixels in " +
         Format("%.2f s", seconds) + " (" + Format("%.0f", rate) + " pixels per second)";
}

void QVProgressBar::Show(const QVProgress::Snapshot& snapshot, double seconds) {
  if (snapshot.Serial == 0 || snapshot.Height <= 0) return;  // nothing reported yet
  if (lineOpen_ && (snapshot.Name != name_ || snapshot.Height != height_)) {
    Draw(height_, seconds);  // the node on screen has finished, and this one began
    EndLine();
    started_ = seconds;
  }
  if (!lineOpen_) {
    name_ = snapshot.Name;
    height_ = snapshot.Height;
    lineOpen_ = true;
  }
  Draw(snapshot.Done, seconds);
}

void QVProgressBar::EndLine() {
  if (!lineOpen_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
  lineOpen_ = false;
}

void QVProgressBar::Finish(int32_t width, int32_t height, double seconds) {
  if (lineOpen_) Draw(height_, seconds);
  EndLine();
  std::fprintf(out_, "%s\n", RenderSummaryLine(width, height, seconds).c_str());
  std::fflush(out_);
}

ProgressSink BarSink(QVProgressBar& bar, std::chrono::steady_clock::time_point start) {
  const auto lock = std::make_shared<std::mutex>();
  return [&bar, start, lock](const std::string& name, int64_t done, int64_t total) {
    QVProgress::Snapshot snapshot;
    snapshot.Name = name;
    snapshot.Done = static_cast<int>(std::clamp<int64_t>(done, 0, INT32_MAX));
    snapshot.Height = static_cast<int>(std::clamp<int64_t>(total, 0, INT32_MAX));
    snapshot.Serial = 1;
    const std::lock_guard<std::mutex> guard(*lock);
    bar.Show(snapshot,
             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  };
}

// Redraws the line on screen: back to its start, the text, then erase the
// rest of the terminal line (what a longer previous text left).
void QVProgressBar::Draw(int done, double seconds) {
  const std::string line = ProgressLine(name_, done, height_, seconds - started_);
  std::fprintf(out_, "\r%s\x1b[K", line.c_str());
  std::fflush(out_);
}

}  // namespace qv
