#include "engine/QVSnapshot.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <unordered_map>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"

QVSnapshot::QVSnapshot(const QVParameter& parameter, const QVNodeGraph& graph,
                       qv::FrozenCopy frozen) {
  parameter_.FreezeFrom(parameter);
  std::unordered_map<const QVGenerator*, QVGenerator*> generators;
  std::unordered_map<const QVEffector*, QVEffector*> effectors;
  std::unordered_map<const QVMixer*, QVMixer*> mixers;
  generators.reserve(graph.Generators.size());
  effectors.reserve(graph.Effectors.size());
  mixers.reserve(graph.Mixers.size());
  for (const QVGenerator* g : graph.Generators) {
    generators[g] = new QVGenerator(graph_, *g, &parameter_, frozen);
  }
  for (const QVEffector* e : graph.Effectors) {
    QVGenerator* generator = e->Generator() ? generators.at(e->Generator()) : nullptr;
    effectors[e] = new QVEffector(graph_, *e, generator, frozen);
  }
  const auto copyList = [&](const QVSourceList& list) {
    QVSourceList copy;
    copy.reserve(list.size());
    for (const QVSourceElement& element : list) {
      copy.push_back({element.Operator, effectors.at(element.Effector)});
    }
    return copy;
  };
  // Registry order is chain order: a mixer's base is copied before it.
  for (const QVMixer* m : graph.Mixers) {
    QVMixer* base = m->BaseMixer() ? mixers.at(m->BaseMixer()) : nullptr;
    mixers[m] = new QVMixer(graph_, *m, base, copyList(m->SourceList()),
                            copyList(m->TransparenceList()), frozen);
  }
}

const QVMixer* QVSnapshot::Output() const {
  return graph_.Mixers.empty() ? nullptr : graph_.Mixers.back();
}

bool QVSnapshot::RunPass(const qv::Pass& pass, int64_t hostBytes) {
  return qv::RunPass(parameter_, graph_, pass, hostBytes);
}

namespace qv {

int64_t RequiredBytes(const QVParameter& parameter, const QVNodeGraph& graph, int32_t workers,
                      int64_t hostBytes) {
  if (graph.Mixers.empty()) return 0;
  const PixelRect rect = parameter.ComputedRect();
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
  add(QVField::ByteCount(w, std::max<int64_t>(workers, 1), 64));
  add(hostBytes);
  for (const QVGenerator* g : graph.Generators) add(need(g->FractalField, sizeof(FractalPixel)));
  for (const QVEffector* e : graph.Effectors) add(need(e->RGBField, 4));
  for (const QVMixer* m : graph.Mixers) add(need(m->RGBField, 4));
  return total < 0 ? INT64_MAX : total;
}

std::string MemoryMessage(const QVParameter& parameter, int64_t required) {
  const auto mib = [](int64_t bytes) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return std::string(buf);
  };
  return "a picture of " + std::to_string(parameter.Width()) + " x " +
         std::to_string(parameter.Height()) + " pixels needs " +
         (required == INT64_MAX ? std::string("more memory than can be addressed")
                                : mib(required) + " of memory") +
         " to render and save, but only " + mib(AvailableMemory()) +
         " are available; lower Width and Height";
}

bool RunPass(const QVParameter& parameter, QVNodeGraph& graph, const Pass& pass,
             int64_t hostBytes) {
  if (graph.Mixers.empty()) return true;
  const int64_t required = RequiredBytes(parameter, graph, pass.WorkerCount(), hostBytes);
  if (required > AvailableMemory()) throw MemoryRefusal(MemoryMessage(parameter, required));
  // A node stopped part-way stays out of date for the next pass; a stop that
  // came after the last node still cuts this one.
  return graph.Mixers.back()->Update(pass) && !pass.StopRequested();
}

}  // namespace qv
