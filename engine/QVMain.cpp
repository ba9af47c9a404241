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

void QVProgress::Reset(uint64_t generation) {
  std::lock_guard<std::mutex> guard(lock_);
  const uint64_t serial = snapshot_.Serial;
  snapshot_ = Snapshot();
  snapshot_.Serial = serial;
  snapshot_.Generation = generation;
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
  QVGenerator* generator = graph_.AddGenerator(&Parameter);
  QVEffector* effector = graph_.AddEffector(generator, this);
  graph_.AddMixer()->AppendSource('+', effector);
}

QVMain::~QVMain() {
  gate_->Alive = false;  // posts still queued now do nothing
  StopRender();
  ProgressHook = nullptr;
  graph_.DestroyAll();
}

int64_t QVMain::RequiredBytes() const {
  if (graph_.Mixers.empty()) return 0;
  const qv::PixelRect rect = Parameter.ComputedRect();
  const int64_t w = rect.Width, h = rect.Height;
  auto need = [&](const QVField& f, int64_t elementSize) -> int64_t {
    if (f.Width == w && f.Height == h) return 0;
    return QVField::ByteCount(w, h, elementSize);
  };
  int64_t total = QVField::ByteCount(w, h, 4);  // the picture handed to the host
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

uint64_t QVMain::Render(QVCanvas* canvas, QVPoster* poster, QVProgressFunction progress) {
  StopRender();
  static QVInlinePoster inlinePoster;  // stateless: safe to share
  if (!poster) poster = &inlinePoster;
  const uint64_t generation = gate_->Generation.load() + 1;
  gate_->Generation = generation;
  gate_->Drawable = generation;
  progress_.Reset(generation);
  ProgressHook = [this, progress](const std::string& name, int row, int height) {
    progress_.Report(name, row, height);
    if (progress) progress(name, row, height);
  };
  running_ = true;
  thread_ = std::jthread([this, canvas, poster, generation](std::stop_token stop) {
    RenderThreadBody(stop, canvas, poster, generation);
  });
  return generation;
}

void QVMain::StopRender() {
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
  gate_->Drawable = 0;  // the canvas may go away now
}

void QVMain::WaitRender() {
  if (thread_.joinable()) thread_.join();
}

void QVMain::PostForRender(QVPoster& poster, uint64_t generation,
                           std::function<void(QVMain&)> call) {
  poster.Post([gate = gate_, generation, self = this, call = std::move(call)] {
    if (gate->Alive.load() && gate->Generation.load() == generation) call(*self);
  });
}

void QVMain::PostPicture(QVPoster& poster, QVCanvas* canvas, uint64_t generation,
                         const std::stop_token& stop) {
  const QVRGBField& field = graph_.Mixers.back()->RGBField;
  const QVProgressFunction hook = ProgressHook;
  QVPictureRef picture = qv::PictureOf(field, [&](int32_t row) {
    if (hook) hook("Draw", row, field.Height);
    return !stop.stop_requested();
  });
  if (!picture) return;
  poster.Post([gate = gate_, generation, canvas, picture = std::move(picture)] {
    if (gate->Alive.load() && gate->Drawable.load() == generation) canvas->SetPicture(picture);
  });
}

// The render thread: start hook, one pass, the picture of the result, end
// hook. The host calls are posted, never waited for.
void QVMain::RenderThreadBody(std::stop_token stop, QVCanvas* canvas, QVPoster* poster,
                              uint64_t generation) {
  PostForRender(*poster, generation, [](QVMain& main) {
    if (main.OnRenderStart) main.OnRenderStart();
  });
  try {
    if (RunPass(stop) && !graph_.Mixers.empty() && canvas) {
      PostPicture(*poster, canvas, generation, stop);
    }
  } catch (const std::exception& e) {
    // An allocation that fails despite the check says what the check says.
    std::string message =
        dynamic_cast<const std::bad_alloc*>(&e) || dynamic_cast<const FieldAllocationError*>(&e)
            ? MemoryMessage()
            : e.what();
    PostForRender(*poster, generation, [message](QVMain& main) {
      if (main.OnRenderError) main.OnRenderError(message);
    });
  }
  PostForRender(*poster, generation, [](QVMain& main) {
    if (main.OnRenderEnd) main.OnRenderEnd();
  });
  running_ = false;
}
