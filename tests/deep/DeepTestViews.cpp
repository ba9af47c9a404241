#include "tests/deep/DeepTestViews.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/methods/QVMethodLists.h"

namespace qv::test {

const char* const M31 =
    "-1.543689012692076361570855971801747986525203297650983935240804037831168673927973866485";

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

std::vector<int32_t> FieldCounts(QVGenerator& g) {
  EXPECT_TRUE(g.Update(Pass{}));
  std::vector<int32_t> out;
  for (int y = 0; y < g.FractalField.Height; ++y)
    for (int x = 0; x < g.FractalField.Width; ++x) out.push_back(g.FractalField.Pixel(x, y).Count);
  return out;
}

}  // namespace qv::test
