#pragma once
// The in-process reference picture of a project, and picture comparisons,
// shared by the render tests and the command-line tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVSourceReader.h"
#include "support/QVTestPictures.h"

namespace qv::test {

/// The last mixer's picture after one pass in this process (QVMain::RunPass)
/// on the project text ("": the default project QVMain builds), with the
/// given worker count.
inline DecodedPicture EnginePicture(const std::string& projectText, int threads = 1) {
  DecodedPicture out;
  QVMain main;
  main.SetWorkers(threads);
  const ReadResult read = projectText.empty() ? ReadResult() : ReadProject(main, projectText);
  EXPECT_TRUE(read.Ok) << read.Describe();
  if (read.Ok && main.RunPass() && !main.Graph().Mixers.empty()) {
    const QVRGBField& field = main.Graph().Mixers.back()->RGBField;
    out.Width = field.Width;
    out.Height = field.Height;
    for (int32_t y = 0; y < field.Height; ++y) {
      out.Pixels.insert(out.Pixels.end(), field.Row(y), field.Row(y) + field.Width);
    }
  }
  return out;
}

/// The first difference between two pictures (size or pixel), or "".
inline std::string PictureDifference(const DecodedPicture& actual, const DecodedPicture& expected) {
  if (actual.Width != expected.Width || actual.Height != expected.Height) {
    return "size " + std::to_string(actual.Width) + " x " + std::to_string(actual.Height) +
           " instead of " + std::to_string(expected.Width) + " x " +
           std::to_string(expected.Height);
  }
  for (int32_t y = 0; y < actual.Height; ++y) {
    for (int32_t x = 0; x < actual.Width; ++x) {
      if (actual.At(x, y) != expected.At(x, y)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

/// The mean absolute difference of the colour channels of two pictures of
/// the same size.
inline double MeanChannelDifference(const DecodedPicture& a, const DecodedPicture& b) {
  if (a.Pixels.size() != b.Pixels.size() || a.Pixels.empty()) return 255;
  double sum = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      sum += std::abs((a.Pixels[i] >> shift & 0xFF) - (b.Pixels[i] >> shift & 0xFF));
    }
  }
  return sum / (3.0 * static_cast<double>(a.Pixels.size()));
}

/// The text with its first occurrence of from replaced by to (which must occur).
inline std::string ReplaceFirst(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << "\"" << from << "\" not found";
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

}  // namespace qv::test
