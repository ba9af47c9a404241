#include "tests/source/SourceTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"

namespace qv::test {

namespace {

// A small portable generator: the same sequence on every platform.
class Sequence {
 public:
  explicit Sequence(int seed) : state_(0x9E3779B97F4A7C15ull * static_cast<uint64_t>(seed + 1)) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<uint32_t>(state_ >> 11);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  bool Coin() { return Below(2) == 1; }
  /// A multiple of step (1 / an integer) in [lo, hi], computed as one integer
  /// divided by another: the double nearest that decimal, as the text reads it.
  double Decimal(double lo, double hi, double step) {
    const double perUnit = std::round(1.0 / step);
    const double first = std::round(lo * perUnit);
    const int steps = static_cast<int>(std::round(hi * perUnit) - first);
    return (first + Below(steps + 1)) / perUnit;
  }
  QVComplex Complex(double lo, double hi, double step) {
    return {Decimal(lo, hi, step), Decimal(lo, hi, step)};
  }
  int32_t Color() { return PackRGB(Below(256), Below(256), Below(256)); }

 private:
  uint64_t state_;
};

template <typename T>
std::unique_ptr<T> MethodAt(const std::vector<const T*>& list, size_t index, Sequence& seq,
                            double lo, double hi, double step) {
  std::unique_ptr<T> method = CloneAs(*list[index % list.size()]);
  for (uint32_t i = 0; i < method->ParamCount(); ++i) {
    method->SetParamValue(i, {seq.Decimal(lo, hi, step), seq.Decimal(-lo, hi, step)});
  }
  return method;
}

void BuildParameter(QVParameter& p, int index, Sequence& seq) {
  p.ChangeFractalType(index % 2);
  p.ChangeFractalMethod(MethodAt(FractalMethods(), static_cast<size_t>(index), seq, 0.5, 2.0, 0.5));
  p.ChangeFractalParameter(seq.Complex(-1.0, 1.0, 0.001));
  p.ChangeViewpoint(seq.Complex(-0.5, 0.5, 0.001));
  p.ChangeScale(seq.Decimal(1.0, 5.0, 0.125));
  p.ChangeWidth(8 + index % 9);
  p.ChangeHeight(6 + index % 7);
}

void BuildEffector(QVEffector& e, int index, int i, Sequence& seq) {
  e.SetRenderingMethod(
      MethodAt(RenderingMethods(), static_cast<size_t>(index * 5 + i), seq, 0.5, 8.0, 0.25));
  e.SetDifferential(seq.Coin());
  e.SetDifferentialVector({seq.Decimal(-2.0, 2.0, 0.5), seq.Decimal(0.5, 2.0, 0.5)});
  e.SetDifferentialRegularSW(seq.Coin());
  e.SetDifferentialEdgeSW(seq.Coin());
  e.ClearEntries();
  const int entries = (index + i * 7) % 21;
  while (e.EntryCount() < entries) e.InsertEntry(seq.Color(), seq.Decimal(-4.0, 30.0, 0.125));
}

void BuildMixer(QVMixer& m, int index, int i, const std::vector<QVEffector*>& effectors,
                Sequence& seq) {
  const auto pick = [&] {
    return effectors[static_cast<size_t>(seq.Below(static_cast<int>(effectors.size())))];
  };
  const int sources = 1 + seq.Below(3);
  for (int k = 0; k < sources; ++k) m.AppendSource(k > 0 && seq.Coin() ? '*' : '+', pick());
  const int transparences = (index + i) % 3;
  for (int k = 0; k < transparences; ++k) m.AppendTransparence(seq.Coin() ? '*' : '+', pick());
  m.SetTransparenceType((index + i) % 5);
  m.SetRegular(seq.Coin());
  m.SetMaskSW(i > 0 && seq.Below(4) == 0);
}

}  // namespace

void BuildProject(QVMain& main, int index) {
  Sequence seq(index);
  QVNodeGraph& graph = main.Graph();
  graph.DestroyAll();
  BuildParameter(main.Parameter, index, seq);
  const bool japanese = index % 2 == 1;  // odd projects name their nodes themselves

  std::vector<QVGenerator*> generators;
  for (int i = 0; i < 1 + index % 3; ++i) {
    auto* g = new QVGenerator(graph, &main.Parameter);  // owned by the graph
    g->SetDivergenceMethod(
        MethodAt(DivergenceMethods(), static_cast<size_t>(index + i), seq, 0.01, 0.2, 0.01));
    g->SetOutputMethod(
        MethodAt(OutputMethods(), static_cast<size_t>(index + 2 * i), seq, 0.25, 3.0, 0.25));
    g->SetDepth(5 + seq.Below(36));
    g->SetRange(seq.Decimal(2.0, 10.0, 0.5));
    if (japanese) graph.Rename(*g, "生成器" + std::to_string(i + 1));
    generators.push_back(g);
  }
  std::vector<QVEffector*> effectors;
  for (int i = 0; i < 1 + (index + 1) % 4; ++i) {
    // More effectors than generators share a generator.
    auto* e = new QVEffector(graph, generators[static_cast<size_t>(i) % generators.size()]);
    BuildEffector(*e, index, i, seq);
    if (japanese) graph.Rename(*e, "効果_" + std::to_string(i + 1));
    effectors.push_back(e);
  }
  for (int i = 0; i < 1 + index % 3; ++i) {
    auto* m = new QVMixer(graph);
    BuildMixer(*m, index, i, effectors, seq);
    if (japanese) graph.Rename(*m, "合成" + std::to_string(i + 1));
  }
}

std::vector<int32_t> RenderPicture(QVMain& main) {
  EXPECT_TRUE(main.RunPass());
  return PicturePixels(main.Graph());
}

std::vector<int32_t> PicturePixels(const QVNodeGraph& graph) {
  if (graph.Mixers.empty()) return {};
  const QVRGBField& f = graph.Mixers.back()->RGBField;
  std::vector<int32_t> out = {f.Width, f.Height};
  for (int32_t y = 0; y < f.Height; ++y) {
    for (int32_t x = 0; x < f.Width; ++x) out.push_back(f.Pixel(x, y));
  }
  return out;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string DefaultProjectText(const std::string& generator, const std::string& effector,
                               const std::string& mixer) {
  static const std::string text =
      "Parameter: \n"
      "{\n"
      "\tFractalType: マンデルブロ\n"
      "\tFractalMethod: z^2+C\n"
      "\t{\n"
      "\t}\n"
      "\n"
      "\tFractalParameter: (0, 0)\n"
      "\tViewpoint: (0, 0)\n"
      "\tScale: 4\n"
      "\tWidth: 320\n"
      "\tHeight: 320\n"
      "}\n"
      "\n"
      "Generator: Generator1\n"
      "{\n"
      "\tDivergenceMethod: ノルム\n"
      "\t{\n"
      "\t}\n"
      "\n"
      "\tOutputMethod: 終点\n"
      "\t{\n"
      "\t}\n"
      "\n"
      "\tDepth: 100\n"
      "\tRange: 4\n"
      "}\n"
      "\n"
      "Effector: Effector1\n"
      "{\n"
      "\tGenerator: Generator1\n"
      "\tRenderingMethod: 回数\n"
      "\t{\n"
      "\t\tParameter: (50, 0)\n"
      "\t}\n"
      "\n"
      "\tDifferential: off\n"
      "\tDifferentialVector: (1, -1)\n"
      "\tDifferentialRegularSW: off\n"
      "\tDifferentialEdgeSW: off\n"
      "\tConvertData: 0 0 0 0\n"
      "\tConvertData: 1 255 255 255\n"
      "}\n"
      "\n"
      "Mixer: Mixer1\n"
      "{\n"
      "\tSourceList: +Effector1\n"
      "\tTransparenceType: 和合成\n"
      "\tRegular: on\n"
      "\tMaskSW: off\n"
      "}\n"
      "\n";
  // Placeholders first, so a name that contains another default name cannot clash.
  std::string out = ReplaceAll(text, "Generator1", "\x01G");
  out = ReplaceAll(out, "Effector1",
                   "\x01"
                   "E");
  out = ReplaceAll(out, "Mixer1", "\x01M");
  out = ReplaceAll(out, "\x01G", generator);
  out = ReplaceAll(out,
                   "\x01"
                   "E",
                   effector);
  return ReplaceAll(out, "\x01M", mixer);
}

}  // namespace qv::test
