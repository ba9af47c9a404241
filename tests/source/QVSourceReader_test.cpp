// The project reader: round trips, what it tolerates, every failure with its
// place and message, and the untouched project after a failure.
#include "source/QVSourceReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVObjectText.h"
#include "source/QVSourceWriter.h"
#include "tests/source/SourceTestSupport.h"

namespace {

using qv::test::BuildProject;
using qv::test::RenderPicture;
using qv::test::ReplaceAll;

// The start-up text with fixed names, whatever the counters stand at.
std::string DefaultText() {
  return qv::test::DefaultProjectText("Generator1", "Effector1", "Mixer1");
}

// The default text with the first occurrence of from replaced by to.
std::string DefaultWith(const std::string& from, const std::string& to) {
  std::string text = DefaultText();
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// Reads text and expects success.
void Read(QVMain& main, const std::string& text) {
  const qv::ReadResult r = qv::ReadProject(main, text);
  ASSERT_TRUE(r.Ok) << r.Describe();
}

// Everything that identifies the live project: its text, its nodes and links.
struct Snapshot {
  explicit Snapshot(const QVMain& main)
      : Text(qv::WriteProject(main)),
        GeneratorNodes(main.Graph().Generators),
        EffectorNodes(main.Graph().Effectors),
        MixerNodes(main.Graph().Mixers) {
    for (const QVEffector* e : main.Graph().Effectors) Links.push_back(e->Generator());
    for (const QVGenerator* g : main.Graph().Generators) Links.push_back(&g->Parameter());
  }
  bool operator==(const Snapshot&) const = default;
  std::string Text;
  std::vector<QVGenerator*> GeneratorNodes;
  std::vector<QVEffector*> EffectorNodes;
  std::vector<QVMixer*> MixerNodes;
  std::vector<const void*> Links;
};

struct FailureCase {
  const char* what;
  std::string text;
  int line;
  int column;
  std::string message;
};

void ExpectFailure(QVMain& main, const FailureCase& c) {
  SCOPED_TRACE(c.what);
  const Snapshot before(main);
  const qv::ReadResult r = qv::ReadProject(main, c.text);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(r.Line, c.line);
  EXPECT_EQ(r.Column, c.column);
  EXPECT_EQ(r.Message, c.message);
  EXPECT_EQ(r.Describe(), "line " + std::to_string(c.line) + ", column " +
                              std::to_string(c.column) + ": " + c.message);
  EXPECT_TRUE(Snapshot(main) == before) << "the project changed";
}

// ---- round trips -------------------------------------------------------------

TEST(QVSourceReader, DefaultTextReadsBackByteForByte) {
  QVMain main;
  BuildProject(main, 4);  // something else than the default first
  Read(main, DefaultText());
  EXPECT_EQ(qv::WriteProject(main), DefaultText());
  ASSERT_EQ(main.Graph().Generators.size(), 1u);
  ASSERT_EQ(main.Graph().Effectors.size(), 1u);
  ASSERT_EQ(main.Graph().Mixers.size(), 1u);
  EXPECT_EQ(main.Graph().Effectors[0]->Generator(), main.Graph().Generators[0]);
  EXPECT_EQ(main.Graph().Mixers[0]->BaseMixer(), nullptr);
  ASSERT_EQ(main.Graph().Mixers[0]->SourceList().size(), 1u);
  EXPECT_EQ(main.Graph().Mixers[0]->SourceList()[0].Effector, main.Graph().Effectors[0]);
  EXPECT_EQ(main.Graph().Mixers[0]->SourceList()[0].Operator, '+');
}

TEST(QVSourceReader, GeneratedProjectsRoundTripAndRenderTheSamePicture) {
  QVMain main;
  int varied = 0;  // pictures of more than one colour, so the comparison has teeth
  for (int index = 0; index < qv::test::ProjectCount; ++index) {
    SCOPED_TRACE("project " + std::to_string(index));
    BuildProject(main, index);
    const std::string text = qv::WriteProject(main);
    const std::vector<int32_t> picture = RenderPicture(main);
    ASSERT_GT(picture.size(), 2u);
    varied +=
        std::any_of(picture.begin() + 2, picture.end(), [&](int32_t c) { return c != picture[2]; });

    Read(main, text);
    EXPECT_EQ(qv::WriteProject(main), text);
    EXPECT_EQ(RenderPicture(main), picture);
  }
  EXPECT_GE(varied, qv::test::ProjectCount / 2);
}

TEST(QVSourceReader, GeneratedProjectsCoverEveryMethodTypeAndShape) {
  QVMain main;
  std::string all;
  size_t largestBar = 0;
  bool emptyBar = false;
  for (int index = 0; index < qv::test::ProjectCount; ++index) {
    BuildProject(main, index);
    all += qv::WriteProject(main);
    for (const QVEffector* e : main.Graph().Effectors) {
      largestBar = std::max(largestBar, static_cast<size_t>(e->EntryCount()));
      emptyBar = emptyBar || e->EntryCount() == 0;
    }
  }
  const auto has = [&](const std::string& s) { return all.find(s) != std::string::npos; };
  for (const auto* m : FractalMethods()) EXPECT_TRUE(has("FractalMethod: " + m->Name() + "\n"));
  for (const auto* m : DivergenceMethods()) {
    EXPECT_TRUE(has("DivergenceMethod: " + m->Name() + "\n"));
  }
  for (const auto* m : OutputMethods()) EXPECT_TRUE(has("OutputMethod: " + m->Name() + "\n"));
  for (const auto* m : RenderingMethods()) {
    EXPECT_TRUE(has("RenderingMethod: " + m->Name() + "\n")) << m->Name();
  }
  for (const std::string& t : FractalTypeNames) EXPECT_TRUE(has("FractalType: " + t + "\n"));
  for (const std::string& t : TransparenceTypeNames) {
    EXPECT_TRUE(has("TransparenceType: " + t + "\n"));
  }
  EXPECT_TRUE(has("SourceList: *"));
  EXPECT_TRUE(has("TransparenceList: *"));
  EXPECT_TRUE(has("TransparenceList: +"));
  EXPECT_TRUE(has("MaskSW: on"));
  EXPECT_TRUE(has("Mixer: 合成3\n"));
  EXPECT_TRUE(emptyBar);
  EXPECT_EQ(largestBar, 20u);
}

TEST(QVSourceReader, CrLfTabsAsBlanksAndExtraSpacingReadTheSame) {
  QVMain main;
  for (int index = 0; index < qv::test::ProjectCount; index += 4) {
    SCOPED_TRACE("project " + std::to_string(index));
    BuildProject(main, index);
    const std::string text = qv::WriteProject(main);
    const std::string variants[] = {
        ReplaceAll(text, "\n", "\r\n"),
        ReplaceAll(text, "\t", "   "),
        ReplaceAll(text, "\t", " "),
        ReplaceAll(ReplaceAll(text, "\t", "  \t "), "\n", "\r\n\r\n"),
        ReplaceAll(ReplaceAll(text, ": ", ":  \t"), ", ", " ,  "),
        "\r\n  \n" + text + "\n\n",
    };
    for (const std::string& variant : variants) {
      BuildProject(main, index + 1);
      Read(main, variant);
      EXPECT_EQ(qv::WriteProject(main), text);
    }
  }
}

// ---- what is tolerated -------------------------------------------------------

TEST(QVSourceReader, ParameterBlockAloneLeavesNoNodes) {
  QVMain main;
  const std::string text = DefaultText();
  Read(main, text.substr(0, text.find("Generator:")));
  EXPECT_TRUE(main.Graph().Generators.empty());
  EXPECT_TRUE(main.Graph().Effectors.empty());
  EXPECT_TRUE(main.Graph().Mixers.empty());
  EXPECT_TRUE(main.RunPass());  // nothing to draw
  EXPECT_EQ(qv::WriteProject(main), text.substr(0, text.find("Generator:")));
}

TEST(QVSourceReader, BlocksOutOfOrderAndTrailingTextEndTheReading) {
  QVMain main;
  const std::string text = DefaultText();
  const std::string mixerBlock = text.substr(text.find("Mixer:"));
  // A generator after the effector: it and everything after it are ignored.
  const std::string late =
      ReplaceAll(text, "Mixer: Mixer1", "Generator: Late\n{\n}\n\nMixer: Mixer1");
  Read(main, late);
  EXPECT_EQ(main.Graph().Generators.size(), 1u);
  EXPECT_EQ(main.Graph().Effectors.size(), 1u);
  EXPECT_TRUE(main.Graph().Mixers.empty());

  Read(main, text + "this is not read { at all }} (1.2.3");
  EXPECT_EQ(qv::WriteProject(main), text);
  Read(main, text + mixerBlock + "Effector: X\n{\n");  // a second mixer, then a stray block
  EXPECT_EQ(main.Graph().Mixers.size(), 2u);
}

TEST(QVSourceReader, ReadingReplacesEveryNodeAndLinksTheNewOnes) {
  QVMain main;
  BuildProject(main, 7);
  const std::vector<QVGenerator*> old(main.Graph().Generators);
  const uint64_t parameterStamp = main.Parameter.Stamp();
  Read(main, DefaultText());
  const auto outOfDate = [](const QVNode* n) { return n->SourceStamp() > n->ComputedFrom(); };
  for (QVGenerator* g : main.Graph().Generators) {
    EXPECT_EQ(std::count(old.begin(), old.end(), g), 0);
    EXPECT_EQ(&g->Parameter(), &main.Parameter);
    EXPECT_TRUE(outOfDate(g));
  }
  for (QVEffector* e : main.Graph().Effectors) EXPECT_TRUE(outOfDate(e));
  EXPECT_TRUE(outOfDate(main.Graph().Mixers[0]));
  EXPECT_GT(main.Parameter.Stamp(), parameterStamp);
  EXPECT_EQ(main.Parameter.Width(), 320);
  EXPECT_EQ(main.Parameter.FractalMethod().Name(), "z^2+C");
  // A new node never takes the name of one read from the text.
  EXPECT_NE(main.Graph().AddMixer()->Name(), "Mixer1");
}

TEST(QVSourceReader, EffectorWithoutConvertDataHasAnEmptyColourBar) {
  QVMain main;
  std::string text = ReplaceAll(DefaultText(), "\tConvertData: 0 0 0 0\n", "");
  text = ReplaceAll(text, "\tConvertData: 1 255 255 255\n", "");
  Read(main, text);
  EXPECT_EQ(main.Graph().Effectors[0]->EntryCount(), 0);
  EXPECT_EQ(qv::WriteProject(main), text);
}

TEST(QVSourceReader, ConvertDataIsSortedAndALaterEqualInputWins) {
  QVMain main;
  Read(main, DefaultWith("\tConvertData: 0 0 0 0\n\tConvertData: 1 255 255 255\n",
                         "\tConvertData: 2 1 2 3\n\tConvertData: 0.5 4 5 6\n"
                         "\tConvertData: -1 7 8 9\n\tConvertData: 0.5 10 11 12\n"));
  const QVEffector& e = *main.Graph().Effectors[0];
  ASSERT_EQ(e.EntryCount(), 3);
  EXPECT_EQ(e.EntryInput(0), -1.0);
  EXPECT_EQ(e.EntryColor(0), PackRGB(7, 8, 9));
  EXPECT_EQ(e.EntryInput(1), 0.5);
  EXPECT_EQ(e.EntryColor(1), PackRGB(10, 11, 12));
  EXPECT_EQ(e.EntryInput(2), 2.0);
  EXPECT_EQ(e.EntryColor(2), PackRGB(1, 2, 3));
}

TEST(QVSourceReader, ConvertDataComponentsAreTruncatedIntoRange) {
  QVMain main;
  Read(main, DefaultWith("ConvertData: 1 255 255 255", "ConvertData: 1 255.9 -0.5 0.99"));
  EXPECT_EQ(main.Graph().Effectors[0]->EntryColor(1), PackRGB(255, 0, 0));
}

TEST(QVSourceReader, IntegersAreTruncatedTowardZeroAndSaturate) {
  QVMain main;
  std::string text = DefaultWith("Depth: 100", "Depth: 99.9");
  text = ReplaceAll(text, "Width: 320", "Width: -0.5");
  text = ReplaceAll(text, "Height: 320", "Height: 1e20");
  Read(main, text);
  EXPECT_EQ(main.Graph().Generators[0]->Depth(), 99);
  EXPECT_EQ(main.Parameter.Width(), 0);
  EXPECT_EQ(main.Parameter.Height(), INT32_MAX);
}

TEST(QVSourceReader, ElementsCarryTheirOperatorAndLinkToTheFirstOfAName) {
  QVMain main;
  const std::string text = DefaultText();
  const size_t effectorAt = text.find("Effector: Effector1");
  const size_t mixerAt = text.find("Mixer: Mixer1");
  std::string effectorBlock = text.substr(effectorAt, mixerAt - effectorAt);
  const std::string second =
      ReplaceAll(effectorBlock, "Effector: Effector1", "Effector: Effector2");
  const std::string twin = ReplaceAll(effectorBlock, "Effector: Effector1", "Effector: Effector2");
  std::string mixer = ReplaceAll(text.substr(mixerAt), "\tSourceList: +Effector1\n",
                                 "\tSourceList: +Effector1\n\tSourceList: *Effector2\n"
                                 "\tTransparenceList: -Effector2\n");
  Read(main, text.substr(0, mixerAt) + second + twin + mixer);
  ASSERT_EQ(main.Graph().Effectors.size(), 3u);
  const QVMixer& m = *main.Graph().Mixers[0];
  ASSERT_EQ(m.SourceList().size(), 2u);
  EXPECT_EQ(m.SourceList()[1].Operator, '*');
  EXPECT_EQ(m.SourceList()[1].Effector, main.Graph().Effectors[1]);  // the first Effector2
  ASSERT_EQ(m.TransparenceList().size(), 1u);
  EXPECT_EQ(m.TransparenceList()[0].Operator, '-');
  EXPECT_EQ(m.TransparenceList()[0].Effector, main.Graph().Effectors[1]);
}

TEST(QVSourceReader, GeneratorLinksGoToTheFirstOfAName) {
  QVMain main;
  const std::string text = DefaultText();
  const size_t generatorAt = text.find("Generator: Generator1");
  const size_t effectorAt = text.find("Effector: Effector1");
  const std::string generatorBlock = text.substr(generatorAt, effectorAt - generatorAt);
  const std::string deeper = ReplaceAll(generatorBlock, "Depth: 100", "Depth: 7");
  Read(main, text.substr(0, effectorAt) + deeper + text.substr(effectorAt));
  ASSERT_EQ(main.Graph().Generators.size(), 2u);
  EXPECT_EQ(main.Graph().Generators[0]->Name(), main.Graph().Generators[1]->Name());
  EXPECT_EQ(main.Graph().Effectors[0]->Generator(), main.Graph().Generators[0]);
  EXPECT_EQ(main.Graph().Generators[1]->Depth(), 7);
}

TEST(QVSourceReader, MixersChainInTextOrder) {
  QVMain main;
  const std::string text = DefaultText();
  const std::string mixerBlock = text.substr(text.find("Mixer: Mixer1"));
  Read(main, text + ReplaceAll(mixerBlock, "Mixer1", "Second") +
                 ReplaceAll(mixerBlock, "Mixer1", "Third"));
  ASSERT_EQ(main.Graph().Mixers.size(), 3u);
  EXPECT_EQ(main.Graph().Mixers[0]->BaseMixer(), nullptr);
  EXPECT_EQ(main.Graph().Mixers[1]->BaseMixer(), main.Graph().Mixers[0]);
  EXPECT_EQ(main.Graph().Mixers[2]->BaseMixer(), main.Graph().Mixers[1]);
  EXPECT_EQ(main.Graph().Mixers[2]->Name(), "Third");
}

TEST(QVSourceReader, OperatorIsTheFirstCharacterNotTheFirstByte) {
  QVMain main;
  Read(main, DefaultWith("SourceList: +Effector1", "SourceList: ＋Effector1"));
  ASSERT_EQ(main.Graph().Mixers[0]->SourceList().size(), 1u);
  EXPECT_EQ(main.Graph().Mixers[0]->SourceList()[0].Operator, 0xFF0B);
  EXPECT_EQ(main.Graph().Mixers[0]->SourceList()[0].Effector, main.Graph().Effectors[0]);
  EXPECT_NE(qv::WriteProject(main).find("\tSourceList: ＋Effector1\n"), std::string::npos);
}

// A render computes its own copy of the project: a read replaces the nodes
// under it without stopping it (ASan catches a render that still reads them).
TEST(QVSourceReader, ReadingDuringARenderReplacesTheProject) {
  QVMain main;
  BuildProject(main, 3);
  main.Parameter.ChangeWidth(400);
  main.Parameter.ChangeHeight(400);
  main.Graph().Generators[0]->SetDepth(2000);
  QVInlinePoster poster;
  main.Render(nullptr, &poster);
  Read(main, DefaultText());
  main.StopRender();
  EXPECT_EQ(qv::WriteProject(main), DefaultText());
}

TEST(QVSourceReader, ReadBlockReadsOneBlockIntoAnObject) {
  auto method = qv::CloneAs(*FindMethod(OutputMethods(), "球"));
  qv::SourceText text("球\n\t{\n\t\tParameter: (1, 2)\n\t\tParameter: ( 3 ,4 )\n\t}\n\nrest");
  EXPECT_FALSE(qv::ReadBlock(*method, text));
  EXPECT_EQ(method->ParamValue(0), (QVComplex{1.0, 2.0}));
  EXPECT_EQ(method->ParamValue(1), (QVComplex{3.0, 4.0}));
  EXPECT_EQ(text.Rest(), "rest");
}

// ---- failures --------------------------------------------------------------

const std::string kFractalTypeChoices = "; expected \"マンデルブロ\" or \"ジュリア\"";
const std::string kRenderingChoices =
    "; expected one of \"回数\", \"回数0\", \"実部\", \"虚部\", \"実数虚数比\", \"実数虚数積\", "
    "\"大きさ\", \"角度\", \"回数(ループ)\", \"十字\", \"log(大きさ)\", \"log(log(大きさ))\"";

TEST(QVSourceReader, EveryFailureNamesItsPlaceAndLeavesTheProjectUntouched) {
  QVMain main;
  BuildProject(main, 5);
  const std::string text = DefaultText();
  const FailureCase cases[] = {
      {"empty text", "", 1, 1, "expected \"Parameter:\" but the text ends"},
      {"blank text", " \r\n\t\n", 3, 1, "expected \"Parameter:\" but the text ends"},
      {"misspelt key", DefaultWith("\tRange: 4", "\tRang: 4"), 26, 2,
       "expected \"Range:\", found \"Rang:\""},
      {"key in another case", DefaultWith("\tDepth: 100", "\tdepth: 100"), 25, 2,
       "expected \"Depth:\", found \"depth:\""},
      {"no blank behind the colon", DefaultWith("\tDepth: 100", "\tDepth:100"), 25, 2,
       "expected \"Depth:\" followed by a blank, found \"Depth:100\""},
      {"keys out of order", DefaultWith("\tDepth: 100\n\tRange: 4", "\tRange: 4\n\tDepth: 100"), 25,
       2, "expected \"Depth:\", found \"Range:\""},
      {"value on a line of its own", DefaultWith("\tScale: 4", "\tScale:\n4"), 10, 8,
       "expected a number"},
      {"method name on a line of its own",
       DefaultWith("\tRenderingMethod: 回数", "\tRenderingMethod:\n回数"), 32, 18,
       "unknown rendering method \"\"" + kRenderingChoices},
      {"unknown method", DefaultWith("RenderingMethod: 回数", "RenderingMethod: 回数x"), 32, 19,
       "unknown rendering method \"回数x\"" + kRenderingChoices},
      {"unknown fractal type", DefaultWith("FractalType: マンデルブロ", "FractalType: マンデル"), 3,
       15, "unknown fractal type \"マンデル\"" + kFractalTypeChoices},
      {"unknown transparence type", DefaultWith("TransparenceType: 和合成", "TransparenceType: 和"),
       48, 20,
       "unknown transparence type \"和\"; expected one of \"和合成\", \"透明合成１\", "
       "\"透明合成２\", \"黒色透過\", \"黒色透過２\""},
      {"characters counted, not bytes",
       DefaultWith("TransparenceType: 和合成", "TransparenceType: 和合成 x"), 48, 24,
       "expected \"Regular:\", found \"x\""},
      {"switch other than on/off", DefaultWith("Differential: off", "Differential: Off"), 37, 16,
       "expected \"on\" or \"off\", found \"Off\""},
      {"number that does not convert", DefaultWith("Scale: 4", "Scale: 1.2.3"), 10, 9,
       "'1.2.3' is not a number"},
      {"number beyond the double range", DefaultWith("Range: 4", "Range: 1e999"), 26, 9,
       "'1e999' is out of range: a number must lie between -1.79E308 and 1.79E308"},
      {"text ends where a brace is expected", "Parameter: ", 1, 12,
       "expected \"{\" but the text ends"},
      {"text ends inside a block", text.substr(0, text.find("}\n\nEffector:")), 27, 1,
       "expected \"}\" but the text ends"},
      {"text ends inside a complex value", text.substr(0, text.find(", -1)")), 38, 24,
       "expected \",\" but the text ends"},
      {"effector naming no generator",
       DefaultWith("\tGenerator: Generator1", "\tGenerator: Generator9"), 31, 13,
       "no generator named \"Generator9\""},
      {"element naming no effector",
       DefaultWith("SourceList: +Effector1", "SourceList: +Effector9"), 47, 15,
       "no effector named \"Effector9\""},
      {"element of an operator alone", DefaultWith("SourceList: +Effector1", "SourceList: *"), 47,
       15, "no effector named \"\""},
      {"empty element", DefaultWith("SourceList: +Effector1", "SourceList: "), 47, 14,
       "empty element: expected an operator and a name"},
      {"colour component above 255",
       DefaultWith("ConvertData: 1 255 255 255", "ConvertData: 1 255 300 255"), 42, 21,
       "colour component 300 is outside 0–255"},
      {"colour component below 0",
       DefaultWith("ConvertData: 1 255 255 255", "ConvertData: 1 255 255 -1"), 42, 25,
       "colour component -1 is outside 0–255"},
      {"colour entry cut short", DefaultWith("ConvertData: 0 0 0 0", "ConvertData: 0 0 0"), 41, 20,
       "expected a number"},
      {"name with a blank", DefaultWith("Generator: Generator1\n{", "Generator: My Gen\n{"), 15, 15,
       "expected \"{\""},
      {"missing method parameter", DefaultWith("\t\tParameter: (50, 0)\n", ""), 34, 2,
       "expected \"Parameter:\" followed by a blank (parameter 1 of 1 of \"回数\")"},
      {"surplus method parameter",
       DefaultWith("\t\tParameter: (50, 0)\n", "\t\tParameter: (50, 0)\n\t\tParameter: (1, 0)\n"),
       35, 3, "expected \"}\""},
      {"mixer before any block", "Mixer: Mixer1\n{\n}\n", 1, 1,
       "expected \"Parameter:\", found \"Mixer:\""},
      {"failure in a later mixer", text + "Mixer: Mixer2\n{\n\tRegular: on\n}\n", 55, 2,
       "expected \"TransparenceType:\", found \"Regular:\""},
  };
  for (const FailureCase& c : cases) ExpectFailure(main, c);
}

TEST(QVSourceReader, ControlCharactersInAFailureAreShownNotPassedOn) {
  // A message is one line of text: a NUL would cut it short where it is
  // printed, and an escape or form feed would act on the terminal.
  QVMain main;
  ExpectFailure(main, {"NUL", DefaultWith("FractalType: マンデルブロ", std::string("FractalType: a\0b", 16)),
                       3, 15, "unknown fractal type \"a\\x00b\"" + kFractalTypeChoices});
  ExpectFailure(main, {"escape and form feed",
                       DefaultWith("SourceList: +Effector1", "SourceList: +E\x1b[2J\f\x7f"), 47, 15,
                       "no effector named \"E\\x1B[2J\\x0C\\x7F\""});
  ExpectFailure(main, {"method name", DefaultWith("RenderingMethod: 回数", "RenderingMethod: \x01"),
                       32, 19, "unknown rendering method \"\\x01\"" + kRenderingChoices});
  ExpectFailure(main, {"backslash and quote kept", DefaultWith("Differential: off", "Differential: \\\""),
                       37, 16, "expected \"on\" or \"off\", found \"\\\"\""});
}

TEST(QVSourceReader, FailuresInCrLfTextCountLinesTheSame) {
  QVMain main;
  ExpectFailure(main, {"CR LF", ReplaceAll(DefaultWith("\tRange: 4", "\tRang: 4"), "\n", "\r\n"),
                       26, 2, "expected \"Range:\", found \"Rang:\""});
  ExpectFailure(main, {"CR", ReplaceAll(DefaultWith("\tRange: 4", "\tRang: 4"), "\n", "\r"), 26, 2,
                       "expected \"Range:\", found \"Rang:\""});
}

// An effector whose generator was deleted writes an empty generator name,
// which reads back as no generator.
TEST(QVSourceReader, AnEffectorWithoutGeneratorRoundTrips) {
  QVMain main;
  main.Graph().DeleteNode(main.Graph().Generators[0]);
  const std::string text = qv::WriteProject(main);
  EXPECT_NE(text.find("\tGenerator: \n"), std::string::npos);
  Read(main, text);
  ASSERT_EQ(main.Graph().Effectors.size(), 1u);
  EXPECT_EQ(main.Graph().Effectors[0]->Generator(), nullptr);
  EXPECT_EQ(qv::WriteProject(main), text);
}

}  // namespace

namespace {

// Names are looked up exactly: a generator may have the empty name, and an
// effector naming it is linked to it (and renders), read and written alike.
TEST(QVSourceReader, AnEmptyGeneratorNameLinksWhenAGeneratorHasIt) {
  QVMain main;
  const std::string text = qv::test::DefaultProjectText("", "Effector1", "Mixer1");
  ASSERT_NE(text.find("Generator: \n{"), std::string::npos);
  Read(main, text);
  ASSERT_EQ(main.Graph().Effectors.size(), 1u);
  EXPECT_EQ(main.Graph().Effectors[0]->Generator(), main.Graph().Generators[0]);
  EXPECT_EQ(qv::WriteProject(main), text);
  ASSERT_TRUE(main.RunPass());
  EXPECT_GT(main.Graph().Effectors[0]->RGBField.Width, 0) << "the effector has a picture";
}

TEST(QVSourceReader, TextAfterTheLastBlockIsReadWithAWarning) {
  const std::string text = DefaultText();
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  const struct {
    std::string after;
    int line, column;  // 0: no warning
  } cases[] = {{"", 0, 0},
               {" \t\n\r\n\n", 0, 0},
               {"Mixr: Mixer2\n{\n}\n", lines + 1, 1},
               {"\n  Generator: Late\n{\n}\n", lines + 2, 3}};
  for (const auto& c : cases) {
    QVMain main;
    const qv::ReadResult r = qv::ReadProject(main, text + c.after);
    ASSERT_TRUE(r.Ok) << r.Describe();
    EXPECT_EQ(r.Warning, c.line ? "text after the last block is ignored" : "") << c.after;
    EXPECT_EQ(r.WarningLine, c.line) << c.after;
    EXPECT_EQ(r.WarningColumn, c.column) << c.after;
    EXPECT_EQ(qv::WriteProject(main), text);
  }
}

}  // namespace
