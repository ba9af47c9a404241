// Reading large projects: a 60 MB project whose one effector has a colour bar
// of about 1.9 million entries (listed in ascending order, as the writer
// writes them, or shuffled), a project of 100,000 nodes linked by name, and
// one of 500,000 generators.
// Each iteration reads the whole text into a fresh project (ReadProject) and
// then destroys the nodes it had.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/QVMain.h"
#include "source/QVSourceReader.h"
#include "source/QVSourceWriter.h"

namespace {

// The default project's text with its Effector1 colour bar replaced by lines.
std::string WithColourBar(const std::vector<std::string>& lines) {
  QVMain main;
  std::string text = qv::WriteProject(main);
  std::string bar;
  for (const std::string& line : lines) bar += "\tConvertData: " + line + "\n";
  const size_t at = text.find("\tConvertData:");
  const size_t end = text.find("}", at);
  return text.replace(at, end - at, bar);
}

// About 60 MB: inputs 0.000001 ... spread over [0, 1.9], grey levels.
std::string ColourBarProject(bool shuffled) {
  constexpr int kEntries = 1900000;
  std::vector<std::string> lines;
  lines.reserve(kEntries);
  for (int i = 0; i < kEntries; ++i) {
    const int grey = i % 256;
    lines.push_back(std::to_string(i / 1e6) + " " + std::to_string(grey) + " " +
                    std::to_string(255 - grey) + " " + std::to_string(grey / 2));
  }
  if (shuffled) std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
  return WithColourBar(lines);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// 100,002 nodes in equal thirds: effector i draws generator i, mixer i has
// effector i as its source. Each block is the default project's, renamed.
std::string ManyNodesProject() {
  constexpr int kEach = 33334;
  QVMain main;
  const std::string text = qv::WriteProject(main);
  const size_t generator = text.find("Generator: "), effector = text.find("Effector: "),
               mixer = text.find("Mixer: ");
  std::string out = text.substr(0, generator);
  const auto blocks = [&](size_t from, size_t to) {
    const std::string block = text.substr(from, to - from);
    for (int i = 1; i <= kEach; ++i) {
      const std::string n = std::to_string(i);
      out += ReplaceAll(
          ReplaceAll(ReplaceAll(block, "Generator1", "Generator" + n), "Effector1", "Effector" + n),
          "Mixer1", "Mixer" + n);
    }
  };
  blocks(generator, effector);
  blocks(effector, mixer);
  blocks(mixer, text.size());
  return out;
}

// The default project with 499,999 more generators (G2 ... G500000) after its
// own: about 55 MB.
std::string ManyGeneratorsProject() {
  constexpr int kGenerators = 500000;
  QVMain main;
  const std::string text = qv::WriteProject(main);
  const size_t generator = text.find("Generator: "), effector = text.find("Effector: ");
  const std::string block = text.substr(generator, effector - generator);
  const std::string body = block.substr(block.find('\n'));
  std::string out = text.substr(0, effector);
  for (int i = 2; i <= kGenerators; ++i) out += "Generator: G" + std::to_string(i) + body;
  return out + text.substr(effector);
}

void Read(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    QVMain main;
    const qv::ReadResult result = qv::ReadProject(main, text);
    if (!result.Ok) state.SkipWithError(result.Describe().c_str());
  }
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void ReaderColourBar(benchmark::State& state) {
  static const std::string ascending = ColourBarProject(false);
  static const std::string shuffled = ColourBarProject(true);
  Read(state, state.range(0) ? shuffled : ascending);
}
BENCHMARK(ReaderColourBar)
    ->ArgName("shuffled")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void ReaderManyNodes(benchmark::State& state) {
  static const std::string text = ManyNodesProject();
  Read(state, text);
}
BENCHMARK(ReaderManyNodes)->Unit(benchmark::kMillisecond)->UseRealTime();

void ReaderManyGenerators(benchmark::State& state) {
  static const std::string text = ManyGeneratorsProject();
  Read(state, text);
}
BENCHMARK(ReaderManyGenerators)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
