#include "engine/QVMixer.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "base/QVScan.h"
#include "engine/QVEffector.h"
#include "engine/QVEffectorRows.h"
#include "engine/QVMixRule.h"
#include "engine/QVMixerRows.h"
#include "engine/QVRowWorkers.h"

const std::array<std::string, qv::mix::TransparenceRules::Count> TransparenceTypeNames = [] {
  std::array<std::string, qv::mix::TransparenceRules::Count> names;
  const auto rules = qv::RuleNames(qv::mix::TransparenceRules{});
  std::copy(rules.begin(), rules.end(), names.begin());
  return names;
}();

namespace {

size_t CheckedIndex(const QVSourceList& list, int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= list.size()) {
    throw std::out_of_range("no list element " + std::to_string(i));
  }
  return static_cast<size_t>(i);
}

}  // namespace

QVMixer::QVMixer(QVNodeGraph& graph)
    : QVNode(graph),
      field_(std::make_shared<QVRGBField>()),
      RGBField(*field_),
      baseMixer_(graph.Mixers.empty() ? nullptr : graph.Mixers.back()) {
  AssignName(graph.NextMixerName());
  MarkChanged();
  Graph().Register(this);
}

QVMixer::QVMixer(QVNodeGraph& graph, const QVMixer& source, QVMixer* base, QVSourceList sources,
                 QVSourceList transparences, qv::FrozenCopy frozen)
    : QVNode(graph, source, frozen),
      field_(frozen.Shared ? source.field_ : std::make_shared<QVRGBField>()),
      RGBField(*field_),
      transparenceType_(source.transparenceType_),
      regular_(source.regular_),
      maskSW_(source.maskSW_),
      baseMixer_(base),
      sourceList_(std::move(sources)),
      transparenceList_(std::move(transparences)) {
  Graph().Register(this);
}

QVMixer::~QVMixer() {
  Graph().Unregister(this);
  for (QVMixer* m : Graph().Mixers) {
    if (m->baseMixer_ == this) m->SetBaseMixer(baseMixer_);
  }
}

void QVMixer::SetTransparenceType(int32_t type) {
  transparenceType_ = type;
  MarkChanged();
}

void QVMixer::SetRegular(bool on) {
  regular_ = on;
  MarkChanged();
}

void QVMixer::SetMaskSW(bool on) {
  maskSW_ = on;
  MarkChanged();
}

void QVMixer::SetBaseMixer(QVMixer* base) {
  for (const QVMixer* b = base; b; b = b->baseMixer_) {
    if (b == this) {
      throw std::invalid_argument("mixer " + qv::QuoteText(Name()) +
                                  " cannot be built on a mixer built on itself");
    }
  }
  if (base && &base->Graph() != &Graph()) {
    throw std::invalid_argument("mixer " + qv::QuoteText(Name()) +
                                ": its base mixer must belong to its own graph");
  }
  baseMixer_ = base;
  MarkChanged();
}

void QVMixer::CheckElements(const QVSourceList& list) const {
  for (const QVSourceElement& e : list) {
    if (!e.Effector || &e.Effector->Graph() != &Graph()) {
      throw std::invalid_argument("mixer " + qv::QuoteText(Name()) +
                                  ": a list element must name an effector of its own graph");
    }
  }
}

void QVMixer::AppendSource(int32_t op, QVEffector* effector) {
  CheckElements({{op, effector}});
  sourceList_.push_back({op, effector});
  MarkChanged();
}

void QVMixer::AppendTransparence(int32_t op, QVEffector* effector) {
  CheckElements({{op, effector}});
  transparenceList_.push_back({op, effector});
  MarkChanged();
}

void QVMixer::RemoveSource(int32_t i) {
  sourceList_.erase(sourceList_.begin() + static_cast<ptrdiff_t>(CheckedIndex(sourceList_, i)));
  MarkChanged();
}

void QVMixer::RemoveTransparence(int32_t i) {
  transparenceList_.erase(transparenceList_.begin() +
                          static_cast<ptrdiff_t>(CheckedIndex(transparenceList_, i)));
  MarkChanged();
}

void QVMixer::SetSourceList(QVSourceList list) {
  CheckElements(list);
  sourceList_ = std::move(list);
  MarkChanged();
}

void QVMixer::SetTransparenceList(QVSourceList list) {
  CheckElements(list);
  transparenceList_ = std::move(list);
  MarkChanged();
}

void QVMixer::RemoveEffector(const QVEffector* effector) {
  const auto names = [effector](const QVSourceElement& e) { return e.Effector == effector; };
  if (std::erase_if(sourceList_, names) + std::erase_if(transparenceList_, names) > 0) {
    MarkChanged();
  }
}

uint64_t QVMixer::SourceStamp() const {
  uint64_t s = std::max(Stamp(), baseMixer_ ? baseMixer_->ResultStamp() : 0);
  if (maskSW_) {
    // Without a base the black picture takes the first source's size.
    if (!baseMixer_ && !sourceList_.empty()) {
      s = std::max(s, sourceList_.front().Effector->ComputedSizeStamp());
    }
    return s;
  }
  for (const auto* list : {&sourceList_, &transparenceList_}) {
    for (const QVSourceElement& e : *list) s = std::max(s, e.Effector->ResultStamp());
  }
  return s;
}

bool QVMixer::Update(const qv::Pass& pass) {
  std::vector<QVMixer*> chain;  // this mixer and its bases, top first
  for (QVMixer* m = this; m; m = m->baseMixer_) chain.push_back(m);
  for (auto m = chain.rbegin(); m != chain.rend(); ++m) {
    if (!(*m)->UpdateOnBase(pass)) return false;
  }
  return true;
}

bool QVMixer::UpdateOnBase(const qv::Pass& pass) {
  if (!maskSW_) {
    // An effector named twice (or by two mixers) is computed once: the second
    // time its stamps say it is up to date.
    for (const auto* list : {&sourceList_, &transparenceList_}) {
      for (const QVSourceElement& e : *list) {
        if (!e.Effector->Update(pass)) return false;
      }
    }
  }
  return FinishUpdate(pass);
}

void QVMixer::PictureSize(int32_t& w, int32_t& h) const {
  w = h = 0;
  if (baseMixer_ && baseMixer_->RGBField.Width > 0 && baseMixer_->RGBField.Height > 0) {
    w = baseMixer_->RGBField.Width;
    h = baseMixer_->RGBField.Height;
  } else if (!sourceList_.empty()) {
    w = sourceList_.front().Effector->RGBField.Width;
    h = sourceList_.front().Effector->RGBField.Height;
  }
}

bool QVMixer::Compute(const qv::Pass& pass) {
  return RecordCompletion([this, &pass] {
    if (maskSW_) return PassThrough(pass);
    int32_t w, h;
    PictureSize(w, h);
    RGBField.Resize(w, h);
    if (w < 1 || h < 1) return true;
    // The fast rows give the plain workers' picture bit for bit; the plain
    // workers stay as the reference that tests and benchmarks can force, and
    // take lists too long for the fast rows' 32-bit channels.
    if (!pass.PlainRows && qv::MixerRowsApply(*this)) return qv::ComputeMixerRows(*this, pass);
    return qv::ComputeRows(pass, Name(), h, [this, &pass](int worker) -> qv::RowFunction {
      auto thread = std::make_shared<QVThreadMixer>(*this, worker, pass.Stop);
      return [thread](int row) { thread->ComputeRow(row); };
    });
  });
}

bool QVMixer::PassThrough(const qv::Pass& pass) {
  int32_t w = 0, h = 0;
  if (baseMixer_) {
    w = baseMixer_->RGBField.Width;
    h = baseMixer_->RGBField.Height;
  } else if (!sourceList_.empty()) {
    // The sources are not updated here: the size the first one has once
    // computed, not what its picture happens to hold from an older pass.
    sourceList_.front().Effector->ComputedSize(w, h);
  }
  RGBField.Resize(w, h);
  for (int32_t y = 0; y < RGBField.Height; ++y) {
    if (pass.StopRequested()) return false;  // a large copy answers a stop too
    for (int32_t x = 0; x < RGBField.Width; ++x) {
      RGBField.Put(x, y, baseMixer_ ? baseMixer_->RGBField.Pixel(x, y) : 0);
    }
  }
  return true;
}

namespace qv {

void ListExpression(const QVSourceList& list, int32_t x, int32_t y, int64_t out[3]) {
  int64_t sum[3] = {0, 0, 0};
  int64_t term[3] = {0, 0, 0};
  for (const QVSourceElement& e : list) {
    int32_t p[3] = {0, 0, 0};  // outside an effector's picture: black
    const QVRGBField& f = e.Effector->RGBField;
    if (x < f.Width && y < f.Height) UnpackRGB(f.Pixel(x, y), p[0], p[1], p[2]);
    for (int k = 0; k < 3; ++k) {
      if (e.Operator == '*') {
        term[k] = qv::MultiplyTerm<int64_t>(p[k], term[k]);
      } else {
        sum[k] += term[k];
        term[k] = p[k];
      }
    }
  }
  for (int k = 0; k < 3; ++k) out[k] = sum[k] + term[k];
}

}  // namespace qv

QVThreadMixer::QVThreadMixer(const QVMixer& mixer, int32_t startRow, std::stop_token stop)
    : Mixer(mixer), StartRow(startRow), stop_(std::move(stop)) {}

void QVThreadMixer::ComputeRow(int32_t row) {
  int32_t* out = Mixer.RGBField.Row(row);
  for (int32_t x = 0; x < Mixer.RGBField.Width; ++x) {
    // A wide row over long lists takes milliseconds: look at the stop too.
    if ((x & qv::StopCheckPixelMask) == qv::StopCheckPixelMask && stop_.stop_requested()) {
      throw qv::PassStopped{};
    }
    out[x] = ComputePixel(x, row);
  }
}

int32_t QVThreadMixer::ComputePixel(int32_t x, int32_t y) const {
  int64_t base[3] = {0, 0, 0};
  const QVMixer* b = Mixer.BaseMixer();
  if (b && x < b->RGBField.Width && y < b->RGBField.Height) {
    int32_t c[3];
    UnpackRGB(b->RGBField.Pixel(x, y), c[0], c[1], c[2]);
    std::copy(c, c + 3, base);
  }
  int64_t s[3], t[3];
  qv::ListExpression(Mixer.SourceList(), x, y, s);
  qv::ListExpression(Mixer.TransparenceList(), x, y, t);
  NormaliseRGB(t[0], t[1], t[2]);
  int64_t r[3];
  qv::mix::ComposePixel(Mixer.TransparenceType(), s, t, base, r);
  if (Mixer.Regular()) {
    NormaliseRGB(r[0], r[1], r[2]);
  } else {
    for (int64_t& c : r) c = qv::ClampChannel(c);
  }
  return PackRGB(static_cast<int32_t>(r[0]), static_cast<int32_t>(r[1]), static_cast<int32_t>(r[2]));
}
