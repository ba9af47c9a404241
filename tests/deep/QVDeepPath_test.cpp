#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/QVGenerator.h"
#include "engine/QVMain.h"
#include "engine/deep/QVDeepKernel.h"
#include "engine/deep/QVPreciseReal.h"
#include "engine/kernels/QVGeneratorKernel.h"
#include "engine/methods/QVMethodLists.h"

namespace {

// Decimals of 16 to 400 digits go to MPFR at BitsForDigits and come back
// with every digit.
TEST(QVDeepPath, PreciseRealsKeepTheDigitsTheyAreGiven) {
  std::mt19937 random(11);
  for (int i = 0; i < 200; ++i) {
    const int digits = 16 + static_cast<int>(random() % 385);
    std::string text = random() % 2 ? "-" : "";
    text += static_cast<char>('1' + random() % 9);
    text += '.';
    for (int k = 1; k < digits; ++k) text += static_cast<char>('0' + random() % 10);
    text += "E" + std::to_string(static_cast<int>(random() % 600) - 300);
    const qv::Decimal d = qv::DecimalFromText(text);
    qv::PreciseReal r(qv::BitsForDigits(qv::SignificantDigits(d)));
    r.Set(d);
    ASSERT_EQ(qv::ToDecimal(r, qv::SignificantDigits(d)), d) << text;
  }
}

// The switch: the pixel spacing scale / width against 2^-42 times the
// larger of 1 and the largest part of the viewpoint.
TEST(QVDeepPath, TheViewSwitchesBelowTwoToTheMinus42PerPixel) {
  const struct {
    double Re, Scale;
    int32_t Width;
    bool Deep;
  } cases[] = {
      {0.0, 4.0, 320, false},
      {0.0, 321 * std::ldexp(1.0, -42), 320, false},   // just above the limit
      {0.0, 319 * std::ldexp(1.0, -42), 320, true},    // just below
      {-1.5, 321 * std::ldexp(1.5, -42), 320, false},  // the limit grows with |v|
      {-1.5, 319 * std::ldexp(1.5, -42), 320, true},
      {-1.5, 400 * std::ldexp(1.0, -42), 320, true},  // deep here, not at 0
      {0.0, 400 * std::ldexp(1.0, -42), 320, false},
      {0.5, 1e-14, 320, true},
      {0.5, 1e-9, 320, false},
  };
  for (const auto& c : cases) {
    QVMain main;
    main.Parameter.ChangeViewpoint({c.Re, 0.25});
    main.Parameter.ChangeScale(c.Scale);
    main.Parameter.ChangeWidth(c.Width);
    EXPECT_EQ(qv::DeepViewNeeded(main.Parameter), c.Deep) << c.Re << " " << c.Scale;
    const QVGenerator& g = *main.Graph().Generators[0];
    EXPECT_EQ(qv::GeneratorKernel(g).Level() == qv::GeneratorKernelLevel::Deep, c.Deep);
  }
}

std::vector<FractalPixel> Field(QVGenerator& g, int workers) {
  qv::Pass pass;
  pass.Workers = workers;
  EXPECT_TRUE(g.Update(pass));
  std::vector<FractalPixel> out;
  for (int y = 0; y < g.FractalField.Height; ++y)
    for (int x = 0; x < g.FractalField.Width; ++x) out.push_back(g.FractalField.Pixel(x, y));
  return out;
}

bool Same(const FractalPixel& a, const FractalPixel& b) {
  return a.Count == b.Count && a.Z.re == b.Z.re && a.Z.im == b.Z.im;
}

// Each pixel depends on its own point only: a window of the picture, the
// columns a preview pass takes and any number of workers give the records
// of the whole picture at those pixels.
TEST(QVDeepPath, WindowsColumnsAndWorkersGiveTheWholePicturesRecords) {
  QVMain main;
  QVParameter& p = main.Parameter;
  p.ChangePreciseViewpoint({qv::DecimalFromText("0"), qv::DecimalFromText("1")});
  p.ChangeScale(1e-40);
  p.ChangeWidth(40);
  p.ChangeHeight(30);
  QVGenerator& g = *main.Graph().Generators[0];
  g.SetDepth(500);
  const std::vector<FractalPixel> whole = Field(g, 1);
  const std::vector<FractalPixel> two = Field(g, 2);
  for (size_t i = 0; i < whole.size(); ++i) ASSERT_TRUE(Same(whole[i], two[i])) << i;

  const qv::GeneratorKernel kernel(g);
  std::vector<FractalPixel> columns(40);
  kernel.ComputeColumns(7, 3, 4, columns.data());
  for (int32_t x = 3, k = 0; x < 40; x += 4, ++k)
    EXPECT_TRUE(Same(columns[static_cast<size_t>(k)], whole[static_cast<size_t>(7 * 40 + x)])) << x;

  p.ChangeWindow({5, 4, 20, 10});
  const std::vector<FractalPixel> window = Field(g, 2);
  ASSERT_EQ(window.size(), 200u);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 20; ++x)
      ASSERT_TRUE(Same(window[static_cast<size_t>(y * 20 + x)],
                       whole[static_cast<size_t>((y + 4) * 40 + x + 5)]))
          << x << "," << y;
}

}  // namespace

namespace {

// A deep view of a formula without a deep path says so; an ordinary view or
// a formula with one says nothing.
TEST(QVDeepPath, AFormulaWithoutADeepPathIsNamedAtDeepScales) {
  QVMain main;
  QVParameter& p = main.Parameter;
  p.ChangeScale(1e-20);
  EXPECT_EQ(qv::DeepPathRefusal(p), "");  // z^2+C
  for (const auto& f : FractalMethods()) {
    p.ChangeFractalMethod(qv::CloneAs(*f));
    const bool deep = qv::DeepFormulaKind(*f) >= 0;
    EXPECT_EQ(deep, f->Name() == "z^2+C" || f->Name() == "z^3+C" || f->Name() == "z+C");
    p.ChangeScale(1e-20);
    const std::string refusal = qv::DeepPathRefusal(p);
    EXPECT_EQ(refusal.empty(), deep) << refusal;
    if (!deep) {
      EXPECT_NE(refusal.find("\"" + f->Name() + "\" has no deep path"), std::string::npos);
    }
    p.ChangeScale(1e-6);
    EXPECT_EQ(qv::DeepPathRefusal(p), "");
  }
}

}  // namespace
