#include "render/QVPreview.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVMixer.h"
#include "engine/QVPicture.h"
#include "engine/QVRowWorkers.h"
#include "engine/QVSnapshot.h"
#include "engine/kernels/QVGeneratorKernel.h"

namespace qv {

namespace {

// The positions (in the registry) of the generators the last mixer reads, as
// a pass walks them: the mixer chain, the lists of each mixer that does not
// pass its base through, and each listed effector's generator.
std::vector<size_t> ReadGenerators(const QVSnapshot& snapshot) {
  std::set<const QVGenerator*> read;
  for (const QVMixer* m = snapshot.Output(); m; m = m->BaseMixer()) {
    if (m->MaskSW()) continue;
    for (const QVSourceList* list : {&m->SourceList(), &m->TransparenceList()}) {
      for (const QVSourceElement& e : *list) {
        if (e.Effector->Generator()) read.insert(e.Effector->Generator());
      }
    }
  }
  std::vector<size_t> positions;
  const std::vector<QVGenerator*>& all = snapshot.Graph().Generators;
  for (size_t i = 0; i < all.size(); ++i) {
    if (read.count(all[i])) positions.push_back(i);
  }
  return positions;
}

bool OutOfDate(const QVGenerator& g) { return g.SourceStamp() > g.ComputedFrom(); }

int32_t CeilDiv(int32_t a, int32_t b) { return static_cast<int32_t>((int64_t{a} + b - 1) / b); }

// The columns of picture row y that the pass of stride s computes: first,
// first + step, ... The first pass takes every 8th column of every 8th row; a
// later pass takes, on the rows the pass before had, the columns between its
// columns, and on its new rows every s-th column.
void PassColumns(int32_t y, int32_t s, int32_t& first, int32_t& step) {
  const bool firstPass = s == kPreviewStrides[0];
  if (!firstPass && y % (2 * s) == 0) {
    first = s, step = 2 * s;
  } else {
    first = 0, step = s;
  }
}

// The pass with its progress counted in rows of the whole picture over all
// the passes: the pass of stride s reports from the pixels the coarser passes
// computed up to those it adds, so the count only grows and the last pass
// ends at the picture's height.
Pass WithPictureProgress(const Pass& pass, int32_t s, int32_t height) {
  Pass counted = pass;
  if (!pass.Progress) return counted;
  constexpr int64_t coarsest = kPreviewStrides[0];
  constexpr int64_t all = coarsest * coarsest;  // the grid of the first pass: one pixel in all
  const int64_t upTo = (coarsest / s) * (coarsest / s);
  const int64_t before = s == coarsest ? 0 : (coarsest / (2 * s)) * (coarsest / (2 * s));
  counted.Progress = [progress = pass.Progress, before, upTo, height](const std::string& name,
                                                                           int done, int total) {
    const int64_t share = total > 0 ? (upTo - before) * done / total : 0;
    progress(name, static_cast<int>(int64_t{height} * (before + share) / all), height);
  };
  return counted;
}

// Computes generator's pixels of the pass of stride s into its field (already
// of the picture's size); false when the pass was stopped.
bool ComputePass(QVGenerator& generator, int32_t s, const Pass& stridePass) {
  QVFractalField& field = generator.FractalField;
  const Pass pass = WithPictureProgress(stridePass, s, field.Height);
  const GeneratorKernel kernel(generator, pass.Stop);
  const bool plain = kernel.Level() == GeneratorKernelLevel::Plain;
  return ComputeRows(
      pass, generator.Name(), CeilDiv(field.Height, s), [&](int worker) -> RowFunction {
        auto thread =
            plain ? std::make_shared<QVThreadGenerator>(generator, worker, pass.Stop) : nullptr;
        auto records =
            std::make_shared<std::vector<FractalPixel>>(static_cast<size_t>(field.Width));
        return [&field, &kernel, s, thread, records](int i) {
          const int32_t y = i * s;
          int32_t first, step;
          PassColumns(y, s, first, step);
          FractalPixel* row = field.Row(y);
          if (thread) {
            for (int32_t x = first; x < field.Width; x += step) row[x] = thread->ComputePixel(x, y);
            return;
          }
          kernel.ComputeColumns(y, first, step, records->data());
          const FractalPixel* r = records->data();
          for (int64_t x = first; x < field.Width; x += step) row[x] = *r++;
        };
      });
}

// The picture of the coarse field at the picture's size: each coarse pixel
// fills its s x s block (cut at the right and bottom edges). Null when the
// coarse picture is not of the grid's size (a mixer with nothing to show).
QVPictureRef BlockPicture(const QVRGBField& coarse, int32_t s, int32_t w, int32_t h) {
  if (coarse.Width != CeilDiv(w, s) || coarse.Height != CeilDiv(h, s)) return nullptr;
  auto picture = std::make_shared<QVPicture>(w, h, QVPicture::Unfilled{});
  uint32_t* out = picture->MutablePixels();
  const size_t width = static_cast<size_t>(w);
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = out + width * static_cast<size_t>(y);
    if (y % s != 0) {
      std::memcpy(row, row - width, width * sizeof(uint32_t));
      continue;
    }
    const int32_t* colours = coarse.Row(y / s);
    for (int32_t x = 0; x < w; ++x) row[x] = QVPicture::FromEngineColor(colours[x / s]);
  }
  return picture;
}

// The colours of the grid of stride s: the read generators' computed pixels
// go into the coarse copy's fields, whose effectors and mixers then run.
// Null when stopped or when there is nothing to show.
QVPictureRef PreviewOfPass(QVSnapshot& coarse, const QVSnapshot& snapshot,
                           const std::vector<size_t>& read, int32_t s, const Pass& pass) {
  const int32_t w = snapshot.Parameter().Width(), h = snapshot.Parameter().Height();
  const int32_t cw = CeilDiv(w, s), ch = CeilDiv(h, s);
  coarse.SetSize(cw, ch);
  for (size_t i : read) {
    const QVFractalField& from = snapshot.Graph().Generators[i]->FractalField;
    QVGenerator& to = *coarse.Graph().Generators[i];
    to.FractalField.Resize(cw, ch);
    for (int32_t y = 0; y < ch; ++y) {
      const FractalPixel* src = from.Row(y * s);
      FractalPixel* dst = to.FractalField.Row(y);
      for (int32_t x = 0; x < cw; ++x) dst[x] = src[static_cast<ptrdiff_t>(x) * s];
    }
    to.RecordField();
  }
  const Pass colouring{pass.Stop, pass.Workers, {}, pass.PlainRows};
  if (!coarse.RunPass(colouring) || !coarse.Output()) return nullptr;
  return BlockPicture(coarse.Output()->RGBField, s, w, h);
}

}  // namespace

bool RunPreviewPasses(QVSnapshot& snapshot, const Pass& pass, int64_t hostBytes,
                      const QVPreviewSink& preview) {
  const QVParameter& p = snapshot.Parameter();
  const PixelRect whole{0, 0, p.Width(), p.Height()};
  const std::vector<size_t> read = ReadGenerators(snapshot);
  std::vector<QVGenerator*> stale;
  for (size_t i : read) {
    if (OutOfDate(*snapshot.Graph().Generators[i])) stale.push_back(snapshot.Graph().Generators[i]);
  }
  if (!snapshot.Output() || whole.Empty() || p.ComputedRect() != whole || stale.empty()) {
    return snapshot.RunPass(pass, hostBytes);
  }
  const int64_t required = RequiredBytes(p, snapshot.Graph(), pass.WorkerCount(), hostBytes);
  if (required > AvailableMemory()) throw MemoryRefusal(MemoryMessage(p, required));
  for (QVGenerator* g : stale) g->FractalField.Resize(p.Width(), p.Height());
  std::unique_ptr<QVSnapshot> coarse;  // made at the first preview
  for (const int32_t s : kPreviewStrides) {
    for (QVGenerator* g : stale) {
      if (pass.StopRequested() || !ComputePass(*g, s, pass)) return false;
    }
    if (s == 1 || !preview) continue;
    if (!coarse) {
      coarse = std::make_unique<QVSnapshot>(p, snapshot.Graph(), FrozenCopy{false});
    }
    QVPictureRef picture = PreviewOfPass(*coarse, snapshot, read, s, pass);
    if (pass.StopRequested()) return false;
    if (picture) preview(std::move(picture));
  }
  for (QVGenerator* g : stale) g->RecordField();
  return snapshot.RunPass(pass, hostBytes);
}

}  // namespace qv
