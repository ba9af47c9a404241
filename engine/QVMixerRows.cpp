#include "engine/QVMixerRows.h"

#include <algorithm>
#include <memory>

#include "engine/QVEffector.h"
#include "engine/QVMixRule.h"
#include "engine/QVMixer.h"
#include "engine/QVRowWorkers.h"

namespace qv {

namespace {

std::vector<MixerElement> Resolve(const QVSourceList& list) {
  std::vector<MixerElement> out;
  out.reserve(list.size());
  for (const QVSourceElement& e : list) out.push_back({e.Operator == '*', &e.Effector->RGBField});
  return out;
}

// The packed row y of a picture and how many of its pixels lie in a row of
// width w; no pixels when the row is outside the picture.
int32_t PictureRow(const QVRGBField* f, int32_t y, int32_t w, const int32_t*& row) {
  row = nullptr;
  if (!f || y >= f->Height || f->Width <= 0) return 0;
  row = f->Row(y);
  return std::min(f->Width, w);
}

}  // namespace

MixerPlan::MixerPlan(const QVMixer& mixer)
    : Source(Resolve(mixer.SourceList())),
      Transparence(Resolve(mixer.TransparenceList())),
      Base(mixer.BaseMixer() ? &mixer.BaseMixer()->RGBField : nullptr),
      Rule(mix::RuleOf(mixer.TransparenceType())),
      Regular(mixer.Regular()) {
  for (int32_t m = 0; m < 256; ++m) Keep[static_cast<size_t>(m)] = FadeKeep(m);
}

bool MixerRowsApply(const QVMixer& mixer) {
  return mixer.SourceList().size() <= MaxFastListLength &&
         mixer.TransparenceList().size() <= MaxFastListLength;
}

MixerRows::MixerRows(QVRGBField& out, const MixerPlan& plan)
    : out_(out), plan_(plan), width_(out.Width) {
  for (Planes* p : {&source_, &transparence_, &scratch_, &base_, &result_, &zero_}) {
    for (auto& c : p->C) c.resize(static_cast<size_t>(width_));
  }
}

// The list rule of qv::ListExpression, one element at a time over the row:
// '+' adds the term to the sum and starts a new term with the pixel, '*'
// multiplies the pixel into the term. A term or sum known to be 0 on the whole
// row is skipped: 0 multiplied stays 0, and adding 0 changes nothing.
MixerRows::Planes* MixerRows::ListRow(const std::vector<MixerElement>& list, int32_t y, Planes& sum,
                                      Planes& term) const {
  const int32_t w = width_;
  bool sumZero = true, termZero = true;
  for (const MixerElement& e : list) {
    const int32_t* row;
    const int32_t n = PictureRow(e.Field, y, w, row);
    int32_t* t0 = term.C[0].data();
    int32_t* t1 = term.C[1].data();
    int32_t* t2 = term.C[2].data();
    if (e.Multiply) {
      if (termZero) continue;
      for (int32_t x = 0; x < n; ++x) {
        int32_t p0, p1, p2;
        UnpackRGB(row[x], p0, p1, p2);
        t0[x] = MultiplyTerm(p0, t0[x]);
        t1[x] = MultiplyTerm(p1, t1[x]);
        t2[x] = MultiplyTerm(p2, t2[x]);
      }
    } else {
      if (!termZero) {
        for (int k = 0; k < 3; ++k) {
          int32_t* s = sum.C[k].data();
          const int32_t* t = term.C[k].data();
          if (sumZero) {
            std::copy(t, t + w, s);
          } else {
            for (int32_t x = 0; x < w; ++x) s[x] += t[x];
          }
        }
        sumZero = false;
      }
      for (int32_t x = 0; x < n; ++x) UnpackRGB(row[x], t0[x], t1[x], t2[x]);
    }
    // Outside the element's picture the pixel is black: a new term is 0 there,
    // and so is a term multiplied by it.
    for (auto& c : term.C) std::fill(c.begin() + n, c.end(), 0);
    termZero = n == 0;
  }
  if (termZero) return sumZero ? nullptr : &sum;
  if (sumZero) {
    std::swap(sum, term);
    return &sum;
  }
  for (int k = 0; k < 3; ++k) {
    for (int32_t x = 0; x < w; ++x)
      sum.C[k][static_cast<size_t>(x)] += term.C[k][static_cast<size_t>(x)];
  }
  return &sum;
}

namespace {

// NormaliseRGB on every pixel of three planes. A channel outside 0..255 has a
// bit above the lowest eight set, so one OR over the row finds whether any
// pixel needs it; the others are left alone, which is what it does to them.
void NormaliseRow(int32_t* r, int32_t* g, int32_t* b, int32_t w) {
  uint32_t any = 0;
  for (int32_t x = 0; x < w; ++x) {
    any |= static_cast<uint32_t>(r[x]) | static_cast<uint32_t>(g[x]) | static_cast<uint32_t>(b[x]);
  }
  if ((any & ~0xFFu) == 0) return;
  // The list limit keeps 32-bit channels from overflowing.
  for (int32_t x = 0; x < w; ++x) NormaliseChannels(r[x], g[x], b[x]);
}

}  // namespace

// The per-pixel rule of QVThreadMixer::ComputePixel with the rule R and the
// Regular switch fixed for the row, one step at a time over planes: base,
// transparence, combination, normalisation or clamp, packing. s and t are the
// list results (null: 0); t is normalised in place.
template <class R, bool Regular>
void MixerRows::Compose(int32_t y, const Planes* s, Planes* t) {
  const int32_t w = width_;
  const int32_t* baseRow;
  const int32_t baseN = PictureRow(plan_.Base, y, w, baseRow);
  std::array<int32_t*, 3> b, r;
  std::array<const int32_t*, 3> sv, tv;
  for (int k = 0; k < 3; ++k) {
    b[static_cast<size_t>(k)] = base_.C[static_cast<size_t>(k)].data();
    r[static_cast<size_t>(k)] = result_.C[static_cast<size_t>(k)].data();
    sv[static_cast<size_t>(k)] = (s ? s : &zero_)->C[static_cast<size_t>(k)].data();
    tv[static_cast<size_t>(k)] = (t ? t : &zero_)->C[static_cast<size_t>(k)].data();
  }
  for (int32_t x = 0; x < baseN; ++x) UnpackRGB(baseRow[x], b[0][x], b[1][x], b[2][x]);
  for (auto& c : base_.C) std::fill(c.begin() + baseN, c.end(), 0);
  if (t && R::UsesTransparence) NormaliseRow(t->C[0].data(), t->C[1].data(), t->C[2].data(), w);
  if constexpr (!R::UsesKeep) {
    // Channel by channel over the row (keep is a factor per pixel).
    for (int k = 0; k < 3; ++k) {
      const int32_t* sk = sv[static_cast<size_t>(k)];
      const int32_t* tk = tv[static_cast<size_t>(k)];
      const int32_t* bk = b[static_cast<size_t>(k)];
      int32_t* rk = r[static_cast<size_t>(k)];
      for (int32_t x = 0; x < w; ++x) {
        const bool black = R::UsesBlack && sv[0][x] == 0 && sv[1][x] == 0 && sv[2][x] == 0;
        rk[x] = R::Channel(sk[x], tk[x], bk[x], black, 0.0L);
      }
    }
  } else {
    for (int32_t x = 0; x < w; ++x) {
      const int32_t level = FadeLevel(std::max({sv[0][x], sv[1][x], sv[2][x]}));
      const long double keep = plan_.Keep[static_cast<size_t>(level)];
      const bool black = R::UsesBlack && sv[0][x] == 0 && sv[1][x] == 0 && sv[2][x] == 0;
      for (size_t k = 0; k < 3; ++k) {
        r[k][x] = R::Channel(sv[k][x], tv[k][x], b[k][x], black, keep);
      }
    }
  }
  if constexpr (Regular) {
    NormaliseRow(r[0], r[1], r[2], w);
  } else {
    for (size_t k = 0; k < 3; ++k) {
      for (int32_t x = 0; x < w; ++x) r[k][x] = ClampChannel(r[k][x]);
    }
  }
  int32_t* out = out_.Row(y);
  for (int32_t x = 0; x < w; ++x) out[x] = PackRGB(r[0][x], r[1][x], r[2][x]);
}

void MixerRows::ComputeRow(int32_t row) {
  const Planes* s = ListRow(plan_.Source, row, source_, scratch_);
  VisitRule(plan_.Rule, mix::TransparenceRules{}, [&]<class R>() {
    // A rule that does not read the transparence discards it.
    Planes* t =
        R::UsesTransparence ? ListRow(plan_.Transparence, row, transparence_, scratch_) : nullptr;
    plan_.Regular ? Compose<R, true>(row, s, t) : Compose<R, false>(row, s, t);
  });
}

bool ComputeMixerRows(QVMixer& mixer, const Pass& pass) {
  const auto plan = std::make_shared<const MixerPlan>(mixer);
  return ComputeRows(pass, mixer.Name(), mixer.RGBField.Height, [&](int) -> RowFunction {
    auto rows = std::make_shared<MixerRows>(mixer.RGBField, *plan);
    return [rows](int row) { rows->ComputeRow(row); };
  });
}

}  // namespace qv
