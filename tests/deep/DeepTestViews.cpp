#include "tests/deep/DeepTestViews.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/methods/QVMethodLists.h"

namespace qv::test {

const char* const M31 =
    "-1."
    "5436890126920763615708559718017479865252032976509839352408040378311686739279738664851579145760"
    "5912546212082922636706018927875646332214101152290921890529272299278169715758295042217008951856"
    "3410700385200128000282366477261779986908996884104614976976927086847969611978920181446128991348"
    "5855921453095241534826645957341170985";

QVGenerator& ShowDeepLocation(QVMain& main, const DeepLocation& l, int32_t w, int32_t h) {
  QVParameter& p = main.Parameter;
  for (const auto& f : FractalMethods()) {
    if (f->Name() == l.Formula) p.ChangeFractalMethod(CloneAs(*f));
  }
  EXPECT_EQ(p.FractalMethod().Name(), l.Formula);
  p.ChangeFractalType(l.Type);
  p.ChangePreciseViewpoint({DecimalFromText(l.Re), DecimalFromText(l.Im)});
  if (l.Type != 0 && std::string(l.Formula) == "z^2+C") p.ChangeFractalParameter({0, 1});
  p.ChangeScale(l.Scale);
  p.ChangeWidth(w);
  p.ChangeHeight(h);
  QVGenerator& g = *main.Graph().Generators[0];
  g.SetDepth(l.Depth);
  return g;
}

std::vector<FractalPixel> FieldPixels(QVGenerator& g) {
  EXPECT_TRUE(g.Update(Pass{}));
  std::vector<FractalPixel> out;
  for (int y = 0; y < g.FractalField.Height; ++y)
    for (int x = 0; x < g.FractalField.Width; ++x) out.push_back(g.FractalField.Pixel(x, y));
  return out;
}

std::vector<int32_t> FieldCounts(QVGenerator& g) {
  std::vector<int32_t> out;
  for (const FractalPixel& pixel : FieldPixels(g)) out.push_back(pixel.Count);
  return out;
}

}  // namespace qv::test
