#include "engine/QVMixer.h"

#include <algorithm>

#include "engine/QVEffector.h"
#include "engine/QVEffectorRows.h"
#include "engine/QVMixerRows.h"
#include "engine/QVRowWorkers.h"

const std::array<std::string, 5> TransparenceTypeNames = {"和合成", "透明合成１", "透明合成２",
                                                          "黒色透過", "黒色透過２"};

QVMixer::QVMixer()
    : BaseMixer(qv::ConstructionGraph().Mixers.empty() ? nullptr
                                                       : qv::ConstructionGraph().Mixers.back()) {
  Name = qv::NextMixerName();
  MarkChanged();
  OwnerGraph->Mixers.push_back(this);
}

QVMixer::~QVMixer() { std::erase(OwnerGraph->Mixers, this); }

void QVMixer::SetTransparenceType(int32_t type) {
  TransparenceType = type;
  MarkChanged();
}

void QVMixer::SetRegular(bool on) {
  Regular = on;
  MarkChanged();
}

void QVMixer::SetMaskSW(bool on) {
  MaskSW = on;
  MarkChanged();
}

void QVMixer::AppendSource(int32_t op, QVEffector* effector) {
  SourceList.push_back(std::make_unique<QVSourceElement>(QVSourceElement{op, effector}));
  MarkChanged();
}

void QVMixer::AppendTransparence(int32_t op, QVEffector* effector) {
  TransparenceList.push_back(std::make_unique<QVSourceElement>(QVSourceElement{op, effector}));
  MarkChanged();
}

uint64_t QVMixer::SourceStamp() const {
  uint64_t s = std::max(Stamp, BaseMixer ? BaseMixer->ResultStamp : 0);
  if (MaskSW) return s;
  for (const auto* list : {&SourceList, &TransparenceList}) {
    for (const auto& e : *list) {
      if (e->Effector) s = std::max(s, e->Effector->ResultStamp);
    }
  }
  return s;
}

int32_t QVMixer::Update() {
  if (State == Unchanged || State == Updated) return State;
  if (BaseMixer && BaseMixer->Update() == Updated) State = Changed;
  if (!MaskSW) {
    // Every element is asked, without stopping at the first change.
    for (const auto* list : {&SourceList, &TransparenceList}) {
      for (const auto& e : *list) {
        if (e->Effector && e->Effector->Update() == Updated) State = Changed;
      }
    }
  }
  return FinishUpdate();
}

void QVMixer::PictureSize(int32_t& w, int32_t& h) const {
  w = h = 0;
  if (BaseMixer && BaseMixer->RGBField.Width > 0 && BaseMixer->RGBField.Height > 0) {
    w = BaseMixer->RGBField.Width;
    h = BaseMixer->RGBField.Height;
  } else if (!SourceList.empty() && SourceList.front()->Effector) {
    w = SourceList.front()->Effector->RGBField.Width;
    h = SourceList.front()->Effector->RGBField.Height;
  }
}

bool QVMixer::Compute() {
  return RecordCompletion([this] {
    if (MaskSW) return PassThrough();
    int32_t w, h;
    PictureSize(w, h);
    RGBField.Resize(w, h);
    if (w < 1 || h < 1) return true;
    // The fast rows give the plain workers' picture bit for bit; the plain
    // workers stay as the reference that tests and benchmarks can force, and
    // take lists too long for the fast rows' 32-bit channels.
    if (!qv::ForcePlainRows.load() && qv::MixerRowsApply(*this)) return qv::ComputeMixerRows(*this);
    return qv::ComputeRows(Name, h, [this](int worker) -> qv::RowFunction {
      auto thread = std::make_shared<QVThreadMixer>(*this, worker);
      return [thread](int row) { thread->ComputeRow(row); };
    });
  });
}

bool QVMixer::PassThrough() {
  int32_t w = 0, h = 0;
  if (BaseMixer) {
    w = BaseMixer->RGBField.Width;
    h = BaseMixer->RGBField.Height;
  } else if (!SourceList.empty() && SourceList.front()->Effector) {
    w = SourceList.front()->Effector->RGBField.Width;
    h = SourceList.front()->Effector->RGBField.Height;
  }
  RGBField.Resize(w, h);
  for (int32_t y = 0; y < RGBField.Height; ++y) {
    if (qv::PassStopRequested()) return false;  // a large copy answers a stop too
    for (int32_t x = 0; x < RGBField.Width; ++x) {
      RGBField.Put(x, y, BaseMixer ? BaseMixer->RGBField.Pixel(x, y) : 0);
    }
  }
  return true;
}

void QVMixer::Reset() {
  QVObject::Reset();
  if (BaseMixer) BaseMixer->Reset();
  if (MaskSW) return;
  for (const auto* list : {&SourceList, &TransparenceList}) {
    for (const auto& e : *list) {
      if (e->Effector) e->Effector->Reset();
    }
  }
}

namespace qv {

void ListExpression(const std::vector<std::unique_ptr<QVSourceElement>>& list, int32_t x,
                    int32_t y, int64_t out[3]) {
  int64_t sum[3] = {0, 0, 0};
  int64_t term[3] = {0, 0, 0};
  for (const auto& e : list) {
    int32_t p[3] = {0, 0, 0};  // outside an effector's picture: black
    const QVRGBField* f = e->Effector ? &e->Effector->RGBField : nullptr;
    if (f && x < f->Width && y < f->Height) UnpackRGB(f->Pixel(x, y), p[0], p[1], p[2]);
    for (int k = 0; k < 3; ++k) {
      if (e->Operator == '*') {
        term[k] = p[k] * term[k] / 255;
      } else {
        sum[k] += term[k];
        term[k] = p[k];
      }
    }
  }
  for (int k = 0; k < 3; ++k) out[k] = sum[k] + term[k];
}

}  // namespace qv

QVThreadMixer::QVThreadMixer(const QVMixer& mixer, int32_t startRow)
    : Mixer(mixer), StartRow(startRow) {}

void QVThreadMixer::ComputeRow(int32_t row) {
  int32_t* out = Mixer.RGBField.Row(row);
  for (int32_t x = 0; x < Mixer.RGBField.Width; ++x) {
    // A wide row over long lists takes milliseconds: look at the stop too.
    if ((x & qv::StopCheckPixelMask) == qv::StopCheckPixelMask) qv::ThrowIfPassStopped();
    out[x] = ComputePixel(x, row);
  }
}

int32_t QVThreadMixer::ComputePixel(int32_t x, int32_t y) const {
  int64_t base[3] = {0, 0, 0};
  const QVMixer* b = Mixer.BaseMixer;
  if (b && x < b->RGBField.Width && y < b->RGBField.Height) {
    int32_t c[3];
    UnpackRGB(b->RGBField.Pixel(x, y), c[0], c[1], c[2]);
    std::copy(c, c + 3, base);
  }
  int64_t s[3], t[3];
  qv::ListExpression(Mixer.SourceList, x, y, s);
  qv::ListExpression(Mixer.TransparenceList, x, y, t);
  NormaliseRGB(t[0], t[1], t[2]);
  switch (Mixer.TransparenceType) {
    case 1:
      for (int k = 0; k < 3; ++k) base[k] = base[k] * t[k] / 255;
      break;
    case 2:
      for (int k = 0; k < 3; ++k) {
        base[k] = base[k] * t[k] / 255;
        s[k] = s[k] * (255 - t[k]) / 255;
      }
      break;
    case 3:
      if (s[0] != 0 || s[1] != 0 || s[2] != 0) base[0] = base[1] = base[2] = 0;
      break;
    case 4: {
      int64_t m = 2 * std::max({s[0], s[1], s[2]});
      if (m > 255) m = 255;
      const long double keep = 1.0L - static_cast<long double>(m) / 255.0L;
      for (int k = 0; k < 3; ++k) base[k] = static_cast<int64_t>(base[k] * keep);
      break;
    }
    default:
      break;
  }
  int64_t r[3];
  for (int k = 0; k < 3; ++k) r[k] = s[k] + base[k];
  if (Mixer.Regular) {
    NormaliseRGB(r[0], r[1], r[2]);
  } else {
    for (int k = 0; k < 3; ++k) r[k] = std::min<int64_t>(r[k], 255);
  }
  return PackRGB(static_cast<int32_t>(r[0]), static_cast<int32_t>(r[1]), static_cast<int32_t>(r[2]));
}
