#include "engine/QVMain.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <stdexcept>

#include "engine/QVAutoDepth.h"
#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "engine/QVSnapshot.h"

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
  if (snapshot_.Done == height) {
    snapshot_.FinishedName = name;
    snapshot_.FinishedHeight = height;
    ++snapshot_.Finishes;
  }
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

}  // namespace qv

QVMain::QVMain() : workers_(qv::WorkerCountFromEnvironment()) {
  QVGenerator* generator = graph_.AddGenerator(&Parameter);
  QVEffector* effector = graph_.AddEffector(generator);
  graph_.AddMixer()->AppendSource('+', effector);
}

QVMain::~QVMain() {
  gate_->Alive = false;  // posts still queued now do nothing
  StopRender();
  graph_.DestroyAll();
}

int64_t QVMain::RequiredBytes() const {
  return qv::RequiredBytes(Parameter, graph_, workers_, HostBytes);
}

std::string QVMain::MemoryMessage() const {
  return qv::MemoryMessage(Parameter, RequiredBytes());
}

bool QVMain::RunPass(std::stop_token stop, QVProgressFunction progress) {
  const qv::Pass pass{std::move(stop), workers_, std::move(progress), PlainRows};
  return qv::RunPass(Parameter, graph_, pass, HostBytes);
}

std::shared_ptr<QVSnapshot> QVMain::Snapshot(qv::FrozenCopy frozen) const {
  return std::make_shared<QVSnapshot>(Parameter, graph_, frozen);
}

uint64_t QVMain::Render(QVCanvas* canvas, QVPoster* poster, QVProgressFunction progress,
                        QVPassRunner runner) {
  StopRender();
  static QVInlinePoster inlinePoster;  // stateless: safe to share
  if (!poster) poster = &inlinePoster;
  const uint64_t generation = gate_->Generation.load() + 1;
  gate_->Generation = generation;
  gate_->Drawable = generation;
  progress_.Reset(generation);
  std::shared_ptr<QVSnapshot> snapshot = Snapshot();
  if (AutoDepth) qv::RaiseDepths(snapshot->ComputedGraph());
  latest_ = snapshot;
  QVProgressFunction hook = [this, progress](const std::string& name, int row, int height) {
    progress_.Report(name, row, height);
    if (progress) progress(name, row, height);
  };
  running_ = true;
  thread_ = std::jthread([this, canvas, poster, generation, snapshot = std::move(snapshot),
                          hook = std::move(hook), workers = workers_, plain = PlainRows,
                          hostBytes = HostBytes, runner = std::move(runner)](std::stop_token stop) {
    const qv::Pass pass{stop, workers, hook, plain};
    RenderThreadBody(pass, *snapshot, hostBytes, canvas, poster, generation, runner);
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
                         const QVRGBField& field, const qv::Pass& pass) {
  QVPictureRef picture = qv::PictureOf(field, [&](int32_t row) {
    if (pass.Progress) pass.Progress("Draw", row, field.Height);
    return !pass.StopRequested();
  });
  if (!picture) return;
  poster.Post([gate = gate_, generation, canvas, picture = std::move(picture)] {
    if (gate->Alive.load() && gate->Drawable.load() == generation) canvas->SetPicture(picture);
  });
}

// The render thread: start hook, one pass (with its previews when a runner
// computes it), the picture of the result, end hook. The host calls are
// posted, never waited for.
void QVMain::RenderThreadBody(const qv::Pass& pass, QVSnapshot& snapshot, int64_t hostBytes,
                              QVCanvas* canvas, QVPoster* poster, uint64_t generation,
                              const QVPassRunner& runner) {
  PostForRender(*poster, generation, [](QVMain& main) {
    if (main.OnRenderStart) main.OnRenderStart();
  });
  try {
    const QVPreviewSink preview = [&](QVPictureRef picture) {
      if (!canvas || !picture || pass.StopRequested()) return;
      poster->Post([gate = gate_, generation, canvas, picture = std::move(picture)] {
        if (gate->Alive.load() && gate->Drawable.load() == generation) canvas->SetPreview(picture);
      });
    };
    const bool done =
        runner ? runner(snapshot, pass, hostBytes, preview) : snapshot.RunPass(pass, hostBytes);
    if (done && snapshot.Output() && canvas) {
      PostPicture(*poster, canvas, generation, snapshot.Output()->RGBField, pass);
    }
  } catch (const std::exception& e) {
    // An allocation that fails despite the check says what the check says.
    RenderFailure failure;
    failure.Memory = dynamic_cast<const std::bad_alloc*>(&e) ||
                     dynamic_cast<const FieldAllocationError*>(&e) ||
                     dynamic_cast<const qv::MemoryRefusal*>(&e);
    failure.Message = e.what();
    if (failure.Memory) {
      const QVParameter& p = snapshot.Parameter();
      failure.Width = p.Width(), failure.Height = p.Height();
      failure.Required = qv::RequiredBytes(p, snapshot.Graph(), pass.WorkerCount(), hostBytes);
      failure.Available = qv::AvailableMemory();
      failure.Message = qv::MemoryMessage(p, failure.Required);
    }
    PostForRender(*poster, generation, [failure](QVMain& main) {
      if (main.OnRenderError) main.OnRenderError(failure);
    });
  }
  PostForRender(*poster, generation, [](QVMain& main) {
    if (main.OnRenderEnd) main.OnRenderEnd();
  });
  running_ = false;
}
