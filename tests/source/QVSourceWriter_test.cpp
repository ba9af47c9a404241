// The project writer: the exact text of every body and of a whole project.
#include "source/QVSourceWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMain.h"
#include "engine/QVMixer.h"
#include "source/QVObjectText.h"
#include "tests/source/SourceTestSupport.h"

namespace {

using qv::test::DefaultProjectText;

// The body of an object's block: its lines at one tab, without the name
// line and braces around them.
template <typename T>
std::string Body(const T& object) {
  const std::string block = qv::WriteBlock(object, "");
  const std::string head = object.Name() + "\n{\n";
  EXPECT_EQ(block.substr(0, head.size()), head);
  EXPECT_EQ(block.substr(block.size() - 3), "}\n\n");
  return block.substr(head.size(), block.size() - head.size() - 3);
}

TEST(QVSourceWriter, TextAfterStartUpIsTheDefaultProject) {
  // Node names come from the project's own counters, so every new project
  // starts with Generator1, Effector1 and Mixer1, however many came before.
  QVMain earlier;
  QVMain main;
  EXPECT_EQ(qv::WriteProject(main), DefaultProjectText("Generator1", "Effector1", "Mixer1"));
}

TEST(QVSourceWriter, WritingChangesNothing) {
  QVMain main;
  QVNodeGraph& graph = main.Graph();
  const std::vector<const QVObject*> objects = {&main.Parameter, &main.Parameter.FractalMethod(),
                                                graph.Generators[0], graph.Effectors[0],
                                                graph.Mixers[0]};
  const auto stamps = [&] {
    std::vector<uint64_t> out;
    for (const QVObject* o : objects) out.push_back(o->Stamp());
    return out;
  };
  const std::vector<uint64_t> before = stamps();
  const std::string first = qv::WriteProject(main);
  EXPECT_EQ(qv::WriteProject(main), first);
  EXPECT_EQ(stamps(), before);
}

TEST(QVSourceWriter, WriteBlockIndentsTheBodyOneTabDeeper) {
  QVMain main;
  QVMixer& mixer = *main.Graph().Mixers[0];
  main.Graph().Rename(mixer, "M");
  EXPECT_EQ(qv::WriteBlock(mixer, "\t"),
            "M\n\t{\n\t\tSourceList: +" + main.Graph().Effectors[0]->Name() +
                "\n\t\tTransparenceType: 和合成\n\t\tRegular: on\n\t\tMaskSW: off\n\t}\n\n");
}

TEST(QVSourceWriter, ParameterBodyWritesSevenEntries) {
  QVMain main;
  QVParameter& p = main.Parameter;
  p.ChangeFractalType(1);
  p.ChangeFractalParameter({0.25, -1e-20});
  p.ChangeViewpoint({-1.9875, 1.0 / 3.0});
  p.ChangeScale(0.00005);
  p.ChangeWidth(320 >> 1);  // 640 x 480 typed at magnification 1/2
  p.ChangeHeight(480 >> 1);
  EXPECT_EQ(Body(p),
            "\tFractalType: ジュリア\n"
            "\tFractalMethod: z^2+C\n\t{\n\t}\n\n"
            "\tFractalParameter: (0.25, -1E-20)\n"
            "\tViewpoint: (-1.9875, 0.333333333333333)\n"
            "\tScale: 5E-5\n"
            "\tWidth: 160\n"
            "\tHeight: 240\n");
  // Every type other than 0 iterates Julia-like, and is written so.
  p.ChangeFractalType(7);
  EXPECT_NE(Body(p).find("FractalType: ジュリア\n"), std::string::npos);
}

TEST(QVSourceWriter, GeneratorBodyWritesMethodBlocksAtTheBodyIndent) {
  QVMain main;
  QVGenerator& g = *main.Graph().Generators[0];
  auto output = qv::CloneAs(*FindMethod(OutputMethods(), "球"));
  output->SetParamValue(0, {0.5, -0.5});
  output->SetParamValue(1, {3.0, 0.0});
  g.SetOutputMethod(std::move(output));
  g.SetDepth(-7);
  g.SetRange(1e15);
  EXPECT_EQ(Body(g),
            "\tDivergenceMethod: ノルム\n\t{\n\t}\n\n"
            "\tOutputMethod: 球\n\t{\n\t\tParameter: (0.5, -0.5)\n\t\tParameter: (3, 0)\n\t}\n\n"
            "\tDepth: -7\n"
            "\tRange: 1E15\n");
}

TEST(QVSourceWriter, EffectorWritesItsColourBarInOrderAndNothingWhenEmpty) {
  QVMain main;
  QVEffector& e = *main.Graph().Effectors[0];
  main.Graph().Rename(e, "E");
  e.SetDifferential(true);
  e.SetDifferentialVector({1.0, 0.0});
  e.SetDifferentialEdgeSW(true);
  e.InsertEntry(PackRGB(255, 255, 255), 0.25);
  e.InsertEntry(PackRGB(1, 2, 3), -1.5);
  const std::string head = "\tGenerator: " + main.Graph().Generators[0]->Name() +
                           "\n\tRenderingMethod: 回数\n\t{\n\t\tParameter: (50, 0)\n\t}\n\n"
                           "\tDifferential: on\n"
                           "\tDifferentialVector: (1, 0)\n"
                           "\tDifferentialRegularSW: off\n"
                           "\tDifferentialEdgeSW: on\n";
  EXPECT_EQ(Body(e), head +
                         "\tConvertData: -1.5 1 2 3\n"
                         "\tConvertData: 0 0 0 0\n"
                         "\tConvertData: 0.25 255 255 255\n"
                         "\tConvertData: 1 255 255 255\n");
  e.ClearEntries();
  EXPECT_EQ(Body(e), head);
}

TEST(QVSourceWriter, MixerWritesBothListsWithTheirOperators) {
  QVMain main;
  QVEffector* e1 = main.Graph().Effectors[0];
  auto* e2 = new QVEffector(main.Graph(), main.Graph().Generators[0]);  // owned by the graph
  auto* e3 = new QVEffector(main.Graph(), main.Graph().Generators[0]);
  main.Graph().Rename(*e2, "Effector2");
  main.Graph().Rename(*e3, "Effector3");
  QVMixer& m = *main.Graph().Mixers[0];
  m.AppendSource('*', e2);
  m.AppendTransparence('+', e3);
  m.SetTransparenceType(4);
  m.SetRegular(false);
  m.SetMaskSW(true);
  EXPECT_EQ(Body(m), "\tSourceList: +" + e1->Name() +
                         "\n"
                         "\tSourceList: *Effector2\n"
                         "\tTransparenceList: +Effector3\n"
                         "\tTransparenceType: 黒色透過２\n"
                         "\tRegular: off\n"
                         "\tMaskSW: on\n");
  const char* names[] = {"和合成", "透明合成１", "透明合成２", "黒色透過", "黒色透過２"};
  for (int type = 0; type < 5; ++type) {
    m.SetTransparenceType(type);
    EXPECT_NE(Body(m).find(std::string("TransparenceType: ") + names[type] + "\n"),
              std::string::npos);
  }
  // A type outside the table combines as the sum and is written as such.
  m.SetTransparenceType(9);
  EXPECT_NE(Body(m).find("TransparenceType: 和合成\n"), std::string::npos);
  m.SetSourceList({});
  m.SetTransparenceList({});
  EXPECT_EQ(Body(m), "\tTransparenceType: 和合成\n\tRegular: off\n\tMaskSW: on\n");
}

TEST(QVSourceWriter, NamesAreWrittenUnchangedAndDuplicatesBoth) {
  QVMain main;
  main.Graph().Rename(*main.Graph().Generators[0], "my generator\t1");
  auto* copy = new QVGenerator(*main.Graph().Generators[0]);  // owned by the graph
  main.Graph().Rename(*copy, main.Graph().Generators[0]->Name());
  const std::string text = qv::WriteProject(main);
  const std::string block = "Generator: my generator\t1\n{\n";
  const size_t first = text.find(block);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(text.find(block, first + 1), std::string::npos);
  EXPECT_NE(text.find("\tGenerator: my generator\t1\n"), std::string::npos);
}

TEST(QVSourceWriter, NodesAreWrittenInRegistryOrderByKind) {
  QVMain main;
  auto* g2 = new QVGenerator(main.Graph(), &main.Parameter);  // owned by the graph
  auto* m2 = new QVMixer(main.Graph());
  main.Graph().Rename(*g2, "G2");
  main.Graph().Rename(*m2, "M2");
  main.Graph().Rename(*main.Graph().Mixers[0], "M1");
  const std::string text = qv::WriteProject(main);
  const size_t g1At = text.find("Generator: " + main.Graph().Generators[0]->Name() + "\n");
  const size_t g2At = text.find("Generator: G2\n");
  const size_t eAt = text.find("Effector: ");
  const size_t m1At = text.find("Mixer: M1\n");
  const size_t m2At = text.find("Mixer: M2\n");
  ASSERT_NE(m2At, std::string::npos);
  EXPECT_LT(text.find("Parameter: "), g1At);
  EXPECT_LT(g1At, g2At);
  EXPECT_LT(g2At, eAt);
  EXPECT_LT(eAt, m1At);
  EXPECT_LT(m1At, m2At);
  // The base mixer is not written: the order of the blocks carries it.
  EXPECT_EQ(text.find("BaseMixer"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 3), "}\n\n");
}

TEST(QVSourceWriter, EmptyGraphWritesOnlyTheParameters) {
  QVMain main;
  main.Graph().DestroyAll();
  const std::string text = qv::WriteProject(main);
  EXPECT_EQ(text.rfind("Parameter: \n{\n", 0), 0u);
  EXPECT_EQ(text.find("Generator:"), std::string::npos);
  EXPECT_EQ(text.find("Mixer:"), std::string::npos);
  const std::string end = "\tHeight: 320\n}\n\n";
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
}

// The editor extracts and saves the project while a render may run: the
// writer must read nothing that the render writes (the ThreadSanitizer build
// checks this test for races).
TEST(QVSourceWriter, WritingDuringARenderReadsNothingTheRenderWrites) {
  QVMain main;
  main.Parameter.ChangeWidth(400);
  main.Parameter.ChangeHeight(400);
  const std::string expected = qv::WriteProject(main);
  QVInlinePoster poster;
  main.Render(nullptr, &poster);
  int writes = 0;
  do {
    EXPECT_EQ(qv::WriteProject(main), expected);
    ++writes;
  } while (main.Rendering());
  main.WaitRender();
  EXPECT_GE(writes, 1);
}

}  // namespace
