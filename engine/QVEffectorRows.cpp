#include "engine/QVEffectorRows.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <typeinfo>

#include "base/QVScan.h"
#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVNumeric.h"
#include "engine/QVRowWorkers.h"
#include "engine/methods/QVRenderingMethods.h"

namespace qv {


ColorLookup::ColorLookup(const ColorBar& bar) {
  for (const ConvertData& e : bar.Entries()) {
    if (std::isnan(e.Input) || (!inputs_.empty() && !(inputs_.back() <= e.Input))) {
      ordered_ = false;
    }
    if (!inputs_.empty()) spans_.emplace_back(std::vector{bar.Entries()[inputs_.size() - 1], e});
    inputs_.push_back(e.Input);
    colors_.push_back(e.Color);
  }
}

size_t ColorLookup::FirstAtOrAbove(double v) const {
  if (ordered_) {
    // For ordered, NaN-free inputs "input < v" holds on a prefix exactly, and
    // its complement is "input >= v": the first index the scan would stop at.
    return static_cast<size_t>(std::lower_bound(inputs_.begin(), inputs_.end(), v) -
                               inputs_.begin());
  }
  size_t i = 0;
  while (i < inputs_.size() && !(inputs_[i] >= v)) ++i;
  return i;
}

int32_t ColorLookup::ColorAt(double v) const {
  const size_t n = inputs_.size();
  if (n == 0) return 0;
  if (std::isnan(v)) return colors_.front();
  const size_t i = FirstAtOrAbove(v);
  if (i == 0) return colors_.front();
  if (i == n) return colors_.back();
  // Strictly between two entries (or on the upper one): the two-entry bar of
  // these entries finds the same pair and interpolates as the whole bar does.
  return spans_[i - 1].ColorAt(v);
}

void ColorLookup::ColorRow(const double* v, int32_t n, int32_t* out) const {
  if (n <= 0) return;
  // Neighbouring pixels often share their scalar (a band of one count): equal
  // bit patterns give equal colours, so such a run costs one lookup.
  uint64_t lastBits = std::bit_cast<uint64_t>(v[0]);
  int32_t last = ColorAt(v[0]);
  out[0] = last;
  for (int32_t i = 1; i < n; ++i) {
    const uint64_t bits = std::bit_cast<uint64_t>(v[i]);
    if (bits != lastBits) {
      lastBits = bits;
      last = ColorAt(v[i]);
    }
    out[i] = last;
  }
}

ColorMemo::ColorMemo(const ColorLookup& lookup)
    : lookup_(lookup), slots_(size_t{1} << kBits, Slot{0, lookup.ColorAt(0.0)}) {}

void ColorMemo::ColorRow(const double* v, int32_t n, int32_t* out) {
  uint64_t lastBits = 0;
  int32_t last = slots_[0].Color;  // slot 0 holds +0's colour until replaced
  if (n > 0) lastBits = ~std::bit_cast<uint64_t>(v[0]);  // forces a look at v[0]
  for (int32_t i = 0; i < n; ++i) {
    const uint64_t bits = std::bit_cast<uint64_t>(v[i]);
    if (bits != lastBits) {
      lastBits = bits;
      Slot& slot = slots_[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kBits)];
      if (slot.Bits != bits) slot = Slot{bits, lookup_.ColorAt(v[i])};
      last = slot.Color;
    }
    out[i] = last;
  }
}

namespace {

// The Rule of Method over a row: the setting read once, then one call per pixel.
template <typename Method>
void FillRow(const QVRenderingMethod& method, const FractalPixel* in, int32_t n, double* out) {
  const typename Method::Rule rule(static_cast<const Method&>(method));
  for (int32_t x = 0; x < n; ++x) out[x] = rule(in[x].Count, in[x].Z);
}

struct KernelEntry {
  const std::type_info* Class;
  RenderingKernel::FillFunction Fill;
};

template <typename... Methods>
constexpr std::array<KernelEntry, sizeof...(Methods)> KernelTable(TypeList<Methods...>) {
  return {KernelEntry{&typeid(Methods), &FillRow<Methods>}...};
}

// Position i of the class list holds the class whose KindIndex is i.
template <typename... Methods>
constexpr bool KindsInListOrder(TypeList<Methods...>) {
  int32_t i = 0;
  return ((Methods::KindIndex == i++) && ...);
}
static_assert(KindsInListOrder(QVRenderingMethodClasses{}),
              "QVRenderingMethodClasses must list the classes in KindIndex order");

}  // namespace

RenderingKernel::RenderingKernel(const QVRenderingMethod& method) : method_(method) {
  static const auto table = KernelTable(QVRenderingMethodClasses{});
  const int32_t kind = method.Kind();
  if (kind >= 0 && static_cast<size_t>(kind) < table.size() &&
      *table[static_cast<size_t>(kind)].Class == typeid(method)) {
    fill_ = table[static_cast<size_t>(kind)].Fill;
    return;
  }
  throw std::logic_error("rendering method " + QuoteText(method.Name()) +
                         " has no entry in QVRenderingMethodClasses");
}

void RenderingKernel::ValueRow(const FractalPixel* in, int32_t n, double* out) const {
  fill_(method_, in, n, out);
}

double RenderingKernel::Value(int32_t count, QVComplex z) const {
  const FractalPixel p{z, count};
  double v;
  ValueRow(&p, 1, &v);
  return v;
}

namespace {

// The one-sided difference of a pixel with value v0 and count c0 towards its
// primary neighbour P, or (edge removal) away from its opposite neighbour Q.
// A null neighbour lies outside the field: its value is v0, its count -1.
template <bool Edge>
inline double OneSided(double v0, int32_t c0, const double* vP, const FractalPixel* pP,
                       const double* vQ, const FractalPixel* pQ) {
  const double primary = vP ? *vP : v0;
  if constexpr (Edge) {
    const int32_t cP = pP ? pP->Count : -1;
    const int32_t cQ = pQ ? pQ->Count : -1;
    if (c0 != cP && c0 == cQ) return (vQ ? *vQ : v0) - v0;
  }
  return v0 - primary;
}

}  // namespace

EffectorRows::EffectorRows(const QVEffector& effector, const RenderingKernel& kernel,
                           const DifferentialPlan& plan, const ColorLookup& lookup)
    : field_(effector.Generator()->FractalField),
      effector_(effector),
      kernel_(kernel),
      plan_(plan),
      colors_(lookup),
      scalars_(static_cast<size_t>(field_.Width)) {}

const double* EffectorRows::Values(int32_t row) {
  for (size_t i = 0; i < cachedRow_.size(); ++i) {
    if (cachedRow_[i] == row) return cache_[i].data();
  }
  // Rows of the current window are all cached or requested, and there are
  // three slots: some slot holds a row outside the window (or none yet).
  size_t slot = 0;
  while (slot + 1 < cachedRow_.size() && cachedRow_[slot] >= window_ - 1 &&
         cachedRow_[slot] <= window_ + 1) {
    ++slot;
  }
  std::vector<double>& buffer = cache_[slot];
  buffer.resize(static_cast<size_t>(field_.Width));
  kernel_.ValueRow(field_.Row(row), field_.Width, buffer.data());
  cachedRow_[slot] = row;
  return buffer.data();
}

// dx towards the left neighbour and dy towards the one below, combined along
// the unit vector (each term kept even when its factor is 0, as inf * 0 is NaN).
template <bool Edge>
void EffectorRows::AxisRow(int32_t y) {
  const int32_t w = field_.Width, h = field_.Height;
  const FractalPixel* p0 = field_.Row(y);
  const double* v0 = Values(y);
  const bool hasBelow = y + 1 < h, hasAbove = y >= 1;
  const FractalPixel* pBelow = hasBelow ? field_.Row(y + 1) : nullptr;
  const double* vBelow = hasBelow ? Values(y + 1) : nullptr;
  const FractalPixel* pAbove = Edge && hasAbove ? field_.Row(y - 1) : nullptr;
  const double* vAbove = Edge && hasAbove ? Values(y - 1) : nullptr;
  const double ux = plan_.Ux, uy = plan_.Uy;
  for (int32_t x = 0; x < w; ++x) {
    const bool left = x >= 1, right = x + 1 < w;
    const int32_t c0 = p0[x].Count;
    const double dx =
        OneSided<Edge>(v0[x], c0, left ? v0 + x - 1 : nullptr, left ? p0 + x - 1 : nullptr,
                       right ? v0 + x + 1 : nullptr, right ? p0 + x + 1 : nullptr);
    const double dy = OneSided<Edge>(
        v0[x], c0, hasBelow ? vBelow + x : nullptr, hasBelow ? pBelow + x : nullptr,
        Edge && hasAbove ? vAbove + x : nullptr, Edge && hasAbove ? pAbove + x : nullptr);
    scalars_[static_cast<size_t>(x)] = dx * ux + dy * uy;
  }
}

// The neighbour A columns right and B rows down, scaled by ux.
template <bool Edge>
void EffectorRows::DiagonalRow(int32_t y) {
  const int32_t w = field_.Width, h = field_.Height;
  const int32_t a = plan_.A;
  const int32_t yP = y + plan_.B, yQ = y - plan_.B;
  const FractalPixel* p0 = field_.Row(y);
  const double* v0 = Values(y);
  const bool rowP = yP >= 0 && yP < h, rowQ = Edge && yQ >= 0 && yQ < h;
  const FractalPixel* pP = rowP ? field_.Row(yP) : nullptr;
  const double* vP = rowP ? Values(yP) : nullptr;
  const FractalPixel* pQ = rowQ ? field_.Row(yQ) : nullptr;
  const double* vQ = rowQ ? Values(yQ) : nullptr;
  const double ux = plan_.Ux;
  for (int32_t x = 0; x < w; ++x) {
    const int32_t xP = x + a, xQ = x - a;
    const bool inP = rowP && xP >= 0 && xP < w;
    const bool inQ = rowQ && xQ >= 0 && xQ < w;
    const double d =
        OneSided<Edge>(v0[x], p0[x].Count, inP ? vP + xP : nullptr, inP ? pP + xP : nullptr,
                       inQ ? vQ + xQ : nullptr, inQ ? pQ + xQ : nullptr);
    scalars_[static_cast<size_t>(x)] = d * ux;
  }
}

const double* EffectorRows::Scalars(int32_t row) {
  double* s = scalars_.data();
  const int32_t w = field_.Width;
  if (!plan_.On) {
    kernel_.ValueRow(field_.Row(row), w, s);
    return s;
  }
  if (plan_.ZeroVector) {
    std::fill(scalars_.begin(), scalars_.end(), 0.0);
    return s;
  }
  window_ = row;
  if (plan_.Diagonal) {
    plan_.Edge ? DiagonalRow<true>(row) : DiagonalRow<false>(row);
  } else {
    plan_.Edge ? AxisRow<true>(row) : AxisRow<false>(row);
  }
  if (plan_.Regular) {
    const double distance = plan_.Distance;
    for (int32_t x = 0; x < w; ++x) s[x] = distance != 0.0 ? s[x] / distance : 0.0;
  }
  return s;
}

void EffectorRows::ComputeRow(int32_t row) {
  colors_.ColorRow(Scalars(row), field_.Width, effector_.RGBField.Row(row));
}

bool ComputeEffectorRows(QVEffector& effector, const Pass& pass) {
  const int32_t h = effector.RGBField.Height;
  // Shared by the workers; built before they start and only read by them.
  const auto kernel = std::make_shared<const RenderingKernel>(effector.RenderingMethod());
  const auto plan = std::make_shared<const DifferentialPlan>(effector);
  const auto lookup = std::make_shared<const ColorLookup>(effector.ColorBar());
  return ComputeRows(pass, effector.Name(), h, [&](int) -> RowFunction {
    auto rows = std::make_shared<EffectorRows>(effector, *kernel, *plan, *lookup);
    return [rows](int row) { rows->ComputeRow(row); };
  });
}

}  // namespace qv
