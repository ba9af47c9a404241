#include "engine/QVMain.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <stdexcept>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "engine/QVRowWorkers.h"

void QVProgress::Report(const std::string& name, int row, int height) {
  std::lock_guard<std::mutex> guard(lock_);
  if (snapshot_.Name != name || snapshot_.Height != height) {
    snapshot_.Name = name;
    snapshot_.Done = 0;
  }
  snapshot_.Row = row;
  snapshot_.Height = height;
  ++snapshot_.Done;
  ++snapshot_.Serial;
}

QVProgress::Snapshot QVProgress::Read() const {
  std::lock_guard<std::mutex> guard(lock_);
  return snapshot_;
}

namespace qv {

int32_t WorkerCountFromEnvironment() {
  if (const char* text = std::getenv("NUMBER_OF_PROCESSORS")) {
    // The leading decimal integer: blanks, an optional sign, digits; the rest is ignored.
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
      value = value * 10 + (*p - '0');
      if (value > 256) value = 257;  // saturate early: the cap is 256 anyway
    }
    if (!negative && value > 0) return static_cast<int32_t>(value > 256 ? 256 : value);
  }
  const unsigned hardware = std::thread::hardware_concurrency();
  return hardware < 1 ? 1 : static_cast<int32_t>(hardware > 256 ? 256 : hardware);
}

void DrawPicture(QVCanvas& canvas, const std::vector<int32_t>& pixels, int32_t w, int32_t h,
                 const QVProgressFunction& progress) {
  canvas.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y) {
    canvas.SetRow(y, pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w), w);
    if (progress) progress("Draw", y + 1, h);
  }
}

// MemAvailable where known.
int64_t AvailableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  int64_t kib = 0;
  std::string unit;
  while (meminfo >> key >> kib >> unit) {
    if (key == "MemAvailable:") return kib * 1024;
  }
  const long pages = sysconf(_SC_AVPHYS_PAGES);
  const long size = sysconf(_SC_PAGESIZE);
  return pages > 0 && size > 0 ? static_cast<int64_t>(pages) * size : INT64_MAX;
}

namespace {

std::string MiB(int64_t bytes) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.0f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return buf;
}

}  // namespace

}  // namespace qv

QVMain::QVMain() : graph_(LiveGraph()) {
  ThreadCount = qv::WorkerCountFromEnvironment();
  qv::ScopedConstructionGraph scope(graph_);
  auto* generator = new QVGenerator(&Parameter);  // nodes are owned by their graph
  auto* effector = new QVEffector(generator, this);
  auto* mixer = new QVMixer();
  mixer->AppendSource('+', effector);
}

QVMain::~QVMain() {
  StopRender();
  ProgressHook = nullptr;
  graph_.DestroyAll();
}

int64_t QVMain::RequiredBytes() const {
  if (graph_.Mixers.empty()) return 0;
  const int64_t w = Parameter.Width, h = Parameter.Height;
  auto need = [&](const QVField& f, int64_t elementSize) -> int64_t {
    if (f.Width == w && f.Height == h) return 0;
    return QVField::ByteCount(w, h, elementSize);
  };
  int64_t total = QVField::ByteCount(w, h, 4);  // the copy handed to the drawing
  auto add = [&](int64_t bytes) {
    total = (bytes < 0 || total < 0 || total > INT64_MAX - bytes) ? -1 : total + bytes;
  };
  // Row buffers: each worker of a node keeps a few rows of doubles (kernel
  // columns, effector values, mixer planes); 64 bytes per column and worker
  // covers them, which matters for very wide pictures only.
  add(QVField::ByteCount(w, std::max<int64_t>(ThreadCount, 1), 64));
  add(HostBytes);
  for (const QVGenerator* g : graph_.Generators) add(need(g->FractalField, sizeof(FractalPixel)));
  for (const QVEffector* e : graph_.Effectors) add(need(e->RGBField, 4));
  for (const QVMixer* m : graph_.Mixers) add(need(m->RGBField, 4));
  return total < 0 ? INT64_MAX : total;
}

std::string QVMain::MemoryMessage() const {
  const int64_t required = RequiredBytes();
  return "a picture of " + std::to_string(Parameter.Width) + " x " +
         std::to_string(Parameter.Height) + " pixels needs " +
         (required == INT64_MAX ? std::string("more memory than can be addressed")
                                : qv::MiB(required) + " of memory") +
         " to render and save, but only " + qv::MiB(qv::AvailableMemory()) +
         " are available; lower Width and Height";
}

bool QVMain::RunPass(std::stop_token stop) {
  if (graph_.Mixers.empty()) return true;
  const int64_t required = RequiredBytes();
  const int64_t available = qv::AvailableMemory();
  if (required > available) throw std::runtime_error(MemoryMessage());
  QVMixer* output = graph_.Mixers.back();
  qv::ScopedPassStop scope(stop);
  try {
    output->Update();
  } catch (...) {
    output->Reset();
    throw;
  }
  // A node stopped part-way stays out of date, yet the nodes after it find
  // nothing new and end Unchanged: the stop itself tells that the pass is cut.
  const bool complete =
      !stop.stop_requested() && (output->State == Updated || output->State == Unchanged);
  output->Reset();
  return complete;
}

void QVMain::Render(QVCanvas* canvas, QVPoster* poster, QVProgressFunction progress) {
  StopRender();
  static QVInlinePoster inlinePoster;  // stateless: safe to share
  if (!poster) poster = &inlinePoster;
  ProgressHook = [this, progress](const std::string& name, int row, int height) {
    progress_.Report(name, row, height);
    if (progress) progress(name, row, height);
  };
  running_ = true;
  thread_ = std::jthread(
      [this, canvas, poster](std::stop_token stop) { RenderThreadBody(stop, canvas, poster); });
}

void QVMain::StopRender() {
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
}

void QVMain::WaitRender() {
  if (thread_.joinable()) thread_.join();
}


// The render thread: start hook, one pass, the drawing of a copy of the result,
// end hook. The three host calls are posted, never waited for.
void QVMain::RenderThreadBody(std::stop_token stop, QVCanvas* canvas, QVPoster* poster) {
  poster->Post([this] {
    if (OnRenderStart) OnRenderStart();
  });
  try {
    if (RunPass(stop) && !graph_.Mixers.empty()) {
      const QVRGBField& field = graph_.Mixers.back()->RGBField;
      const int32_t w = field.Width, h = field.Height;
      auto pixels = std::make_shared<std::vector<int32_t>>(
          reinterpret_cast<const int32_t*>(field.Data.get()),
          reinterpret_cast<const int32_t*>(field.Data.get()) + static_cast<size_t>(w) * h);
      QVProgressFunction hook = ProgressHook;
      poster->Post([canvas, pixels, w, h, hook] {
        if (canvas) qv::DrawPicture(*canvas, *pixels, w, h, hook);
      });
    }
  } catch (const std::exception& e) {
    // An allocation that fails despite the check says what the check says.
    std::string message =
        dynamic_cast<const std::bad_alloc*>(&e) || dynamic_cast<const FieldAllocationError*>(&e)
            ? MemoryMessage()
            : e.what();
    poster->Post([this, message] {
      if (OnRenderError) OnRenderError(message);
    });
  }
  poster->Post([this] {
    if (OnRenderEnd) OnRenderEnd();
  });
  running_ = false;
}
