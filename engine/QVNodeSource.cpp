// The project-text bodies of the global parameters and the three node kinds:
// each WriteSource writes its keys in a fixed order, one per line, and each
// ReadSource reads them back in that same order through the setters.
//
// Reading is strict about keys (spelling, case, order, a blank behind the
// colon) and values (on the key's own line, names from their tables) and
// tolerant about blanks and line breaks between entries. Every failure is
// recorded in the text at the place where reading stopped.
#include <string>
#include <string_view>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMixer.h"
#include "engine/QVNumeric.h"
#include "engine/QVParameter.h"
#include "engine/methods/QVMethod.h"

using qv::SourceText;

namespace {

std::string Quote(std::string_view s) {
  std::string quoted(1, '"');
  quoted.append(s);
  quoted += '"';
  return quoted;
}

// ---- writing -------------------------------------------------------------

std::string Line(const std::string& indent, const char* key, const std::string& value) {
  return indent + key + value + "\n";
}

std::string SwitchText(bool on) { return on ? "on" : "off"; }

// A method entry: the key, then the method's block at the body's own indent.
std::string MethodLine(const std::string& indent, const char* key, const QVMethod& method) {
  return indent + key + qv::WriteMethodEntry(method, indent);
}

// The UTF-8 form of an operator character (a code point).
std::string OperatorText(int32_t op) {
  const uint32_t c = static_cast<uint32_t>(op);
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

std::string ElementLines(const std::string& indent, const char* key,
                         const std::vector<std::unique_ptr<QVSourceElement>>& list) {
  std::string out;
  for (const auto& element : list) {
    const std::string name = element->Effector ? element->Effector->Name : std::string();
    out += Line(indent, key, OperatorText(element->Operator) + name);
  }
  return out;
}

// ---- reading -------------------------------------------------------------

// The key must be the word at the front; otherwise the failure names it.
bool ExpectKey(SourceText& text, const char* key) {
  if (!qv::MatchKeyword(text, key)) return false;
  return text.Fail("expected " + Quote(key));
}

// The word behind a key, with the position where it starts.
std::string ReadValueWord(SourceText& text, size_t& start) {
  qv::SkipBlanks(text);
  start = text.Position();
  return qv::ReadWord(text);
}

bool ReadSwitch(SourceText& text, const char* key, bool& on) {
  if (ExpectKey(text, key)) return true;
  size_t start = 0;
  const std::string word = ReadValueWord(text, start);
  if (word != "on" && word != "off") {
    return text.FailAt(start, "expected \"on\" or \"off\", found " + Quote(word));
  }
  on = word == "on";
  return false;
}

bool ReadNumberKey(SourceText& text, const char* key, double& value) {
  return ExpectKey(text, key) || qv::ReadNumber(text, value);
}

// Integers are written as numbers; a fraction is truncated toward zero.
bool ReadIntKey(SourceText& text, const char* key, int32_t& value) {
  double v = 0.0;
  if (ReadNumberKey(text, key, v)) return true;
  value = qv::TruncToInt(v);
  return false;
}

bool ReadComplexKey(SourceText& text, const char* key, QVComplex& value) {
  return ExpectKey(text, key) || qv::ReadComplex(text, value);
}

// The index of the table entry equal to the word behind key, or a failure.
template <size_t N>
bool ReadTableKey(SourceText& text, const char* key, const std::array<std::string, N>& table,
                  const char* what, int32_t& index) {
  if (ExpectKey(text, key)) return true;
  size_t start = 0;
  const std::string word = ReadValueWord(text, start);
  for (size_t i = 0; i < N; ++i) {
    if (table[i] == word) {
      index = static_cast<int32_t>(i);
      return false;
    }
  }
  return text.FailAt(start, "unknown " + std::string(what) + " " + Quote(word));
}

// The first character of an element word, as a code point: a whole UTF-8
// sequence when one stands there, else the single byte. Sets length.
int32_t FirstCharacter(const std::string& word, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(word[i]); };
  const unsigned char lead = byte(0);
  length = 1;
  if (lead < 0x80) return lead;
  const size_t n = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5 || n == 0 || word.size() < n) return lead;
  uint32_t c = lead & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return lead;
    c = c << 6 | (byte(i) & 0x3F);
  }
  const uint32_t smallest = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
  if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return lead;
  length = n;
  return static_cast<int32_t>(c);
}

// Repeats while key stands at the front: an operator character directly
// followed by an effector's name. Every element must name an effector.
bool ReadElements(SourceText& text, const char* key, QVMixer& mixer, bool transparence) {
  while (!qv::MatchKeyword(text, key)) {
    size_t start = 0;
    const std::string word = ReadValueWord(text, start);
    if (word.empty()) return text.FailAt(start, "empty element: expected an operator and a name");
    size_t length = 0;
    const int32_t op = FirstCharacter(word, length);
    const std::string name = word.substr(length);
    QVEffector* effector = FindEffector(name);
    if (!effector) return text.FailAt(start + length, "no effector named " + Quote(name));
    if (transparence) {
      mixer.AppendTransparence(op, effector);
    } else {
      mixer.AppendSource(op, effector);
    }
    qv::SkipWhitespace(text);
  }
  return false;
}

// One colour-bar line after "ConvertData:": input value, red, green, blue.
bool ReadConvertData(SourceText& text, QVEffector& effector) {
  double input = 0.0;
  if (qv::ReadNumber(text, input)) return true;
  int32_t color = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    double v = 0.0;
    qv::SkipBlanks(text);
    const size_t start = text.Position();
    if (qv::ReadNumber(text, v)) return true;
    const int32_t component = qv::TruncToInt(v);
    if (component < 0 || component > 255) {
      return text.FailAt(start, "colour component " + qv::NumberToText(v) + " is outside 0–255");
    }
    color |= component << shift;
  }
  effector.InsertEntry(color, input);
  return false;
}

}  // namespace

// ---- global parameters -----------------------------------------------------

std::string QVParameter::WriteSource(const std::string& indent) const {
  // Every type other than 0 iterates as the Julia-like type.
  return Line(indent, "FractalType: ", FractalTypeNames[FractalType == 0 ? 0 : 1]) +
         MethodLine(indent, "FractalMethod: ", *FractalMethod) +
         Line(indent, "FractalParameter: ", qv::ComplexToText(FractalParameter)) +
         Line(indent, "Viewpoint: ", qv::ComplexToText(Viewpoint)) +
         Line(indent, "Scale: ", qv::NumberToText(Scale)) +
         Line(indent, "Width: ", qv::IntToText(Width)) +
         Line(indent, "Height: ", qv::IntToText(Height));
}

bool QVParameter::ReadSource(SourceText& text) {
  int32_t type = 0;
  if (ReadTableKey(text, "FractalType:", FractalTypeNames, "fractal type", type)) return true;
  ChangeFractalType(type);
  qv::SkipWhitespace(text);
  if (ExpectKey(text, "FractalMethod:")) return true;
  auto method = qv::ReadMethodEntry(text, FractalMethods(), "fractal method");
  if (!method) return true;
  ChangeFractalMethod(std::move(method));

  QVComplex c;
  if (ReadComplexKey(text, "FractalParameter:", c)) return true;
  ChangeFractalParameter(c);
  qv::SkipWhitespace(text);
  if (ReadComplexKey(text, "Viewpoint:", c)) return true;
  ChangeViewpoint(c);
  qv::SkipWhitespace(text);
  double scale = 0.0;
  if (ReadNumberKey(text, "Scale:", scale)) return true;
  ChangeScale(scale);
  qv::SkipWhitespace(text);
  int32_t size = 0;
  if (ReadIntKey(text, "Width:", size)) return true;
  ChangeWidth(size);
  qv::SkipWhitespace(text);
  if (ReadIntKey(text, "Height:", size)) return true;
  ChangeHeight(size);
  qv::SkipWhitespace(text);
  return false;
}

// ---- generator -------------------------------------------------------------

std::string QVGenerator::WriteSource(const std::string& indent) const {
  return MethodLine(indent, "DivergenceMethod: ", *DivergenceMethod) +
         MethodLine(indent, "OutputMethod: ", *OutputMethod) +
         Line(indent, "Depth: ", qv::IntToText(Depth)) +
         Line(indent, "Range: ", qv::NumberToText(Range));
}

bool QVGenerator::ReadSource(SourceText& text) {
  if (ExpectKey(text, "DivergenceMethod:")) return true;
  auto divergence = qv::ReadMethodEntry(text, DivergenceMethods(), "divergence method");
  if (!divergence) return true;
  SetDivergenceMethod(std::move(divergence));
  if (ExpectKey(text, "OutputMethod:")) return true;
  auto output = qv::ReadMethodEntry(text, OutputMethods(), "output method");
  if (!output) return true;
  SetOutputMethod(std::move(output));

  int32_t depth = 0;
  if (ReadIntKey(text, "Depth:", depth)) return true;
  SetDepth(depth);
  qv::SkipWhitespace(text);
  double range = 0.0;
  if (ReadNumberKey(text, "Range:", range)) return true;
  SetRange(range);
  qv::SkipWhitespace(text);
  return false;
}

// ---- effector --------------------------------------------------------------

std::string QVEffector::WriteSource(const std::string& indent) const {
  std::string out = Line(indent, "Generator: ", Generator ? Generator->Name : std::string()) +
                    MethodLine(indent, "RenderingMethod: ", *RenderingMethod) +
                    Line(indent, "Differential: ", SwitchText(Differential)) +
                    Line(indent, "DifferentialVector: ", qv::ComplexToText(DifferentialVector)) +
                    Line(indent, "DifferentialRegularSW: ", SwitchText(DifferentialRegularSW)) +
                    Line(indent, "DifferentialEdgeSW: ", SwitchText(DifferentialEdgeSW));
  for (int32_t i = 0; i < EntryCount(); ++i) {
    int32_t r = 0, g = 0, b = 0;
    UnpackRGB(EntryColor(i), r, g, b);
    out += Line(indent, "ConvertData: ",
                qv::NumberToText(EntryInput(i)) + " " + qv::IntToText(r) + " " + qv::IntToText(g) +
                    " " + qv::IntToText(b));
  }
  return out;
}

bool QVEffector::ReadSource(SourceText& text) {
  if (ExpectKey(text, "Generator:")) return true;
  size_t start = 0;
  const std::string name = ReadValueWord(text, start);
  QVGenerator* generator = FindGenerator(name);
  if (!generator) return text.FailAt(start, "no generator named " + Quote(name));
  SetGenerator(generator);
  qv::SkipWhitespace(text);
  if (ExpectKey(text, "RenderingMethod:")) return true;
  auto method = qv::ReadMethodEntry(text, RenderingMethods(), "rendering method");
  if (!method) return true;
  SetRenderingMethod(std::move(method));

  bool on = false;
  if (ReadSwitch(text, "Differential:", on)) return true;
  SetDifferential(on);
  qv::SkipWhitespace(text);
  QVComplex vector;
  if (ReadComplexKey(text, "DifferentialVector:", vector)) return true;
  SetDifferentialVector(vector);
  qv::SkipWhitespace(text);
  if (ReadSwitch(text, "DifferentialRegularSW:", on)) return true;
  SetDifferentialRegularSW(on);
  qv::SkipWhitespace(text);
  if (ReadSwitch(text, "DifferentialEdgeSW:", on)) return true;
  SetDifferentialEdgeSW(on);
  qv::SkipWhitespace(text);

  // The text lists the whole colour bar: no line, no entry.
  ClearEntries();
  while (!qv::MatchKeyword(text, "ConvertData:")) {
    if (ReadConvertData(text, *this)) return true;
    qv::SkipWhitespace(text);
  }
  return false;
}

// ---- mixer -----------------------------------------------------------------

std::string QVMixer::WriteSource(const std::string& indent) const {
  // A type outside the table combines as the sum, type 0.
  const bool known = TransparenceType >= 0 &&
                     TransparenceType < static_cast<int32_t>(TransparenceTypeNames.size());
  return ElementLines(indent, "SourceList: ", SourceList) +
         ElementLines(indent, "TransparenceList: ", TransparenceList) +
         Line(indent, "TransparenceType: ",
              TransparenceTypeNames[known ? static_cast<size_t>(TransparenceType) : 0]) +
         Line(indent, "Regular: ", SwitchText(Regular)) +
         Line(indent, "MaskSW: ", SwitchText(MaskSW));
}

bool QVMixer::ReadSource(SourceText& text) {
  if (ReadElements(text, "SourceList:", *this, false)) return true;
  if (ReadElements(text, "TransparenceList:", *this, true)) return true;
  int32_t type = 0;
  if (ReadTableKey(text, "TransparenceType:", TransparenceTypeNames, "transparence type", type)) {
    return true;
  }
  SetTransparenceType(type);
  qv::SkipWhitespace(text);
  bool on = false;
  if (ReadSwitch(text, "Regular:", on)) return true;
  SetRegular(on);
  qv::SkipWhitespace(text);
  if (ReadSwitch(text, "MaskSW:", on)) return true;
  SetMaskSW(on);
  qv::SkipWhitespace(text);
  return false;
}
