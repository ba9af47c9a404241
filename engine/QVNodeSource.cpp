// The project-text bodies of the global parameters and the three node kinds:
// each WriteSource writes its keys in a fixed order, one per line, and each
// ReadSource reads them back in that same order through the setters.
//
// Reading is strict about keys (spelling, case, order, a blank behind the
// colon) and values (on the key's own line, names from their tables) and
// tolerant about blanks and line breaks between entries. Every failure is
// recorded in the text at the place where reading stopped.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/QVEffector.h"
#include "engine/QVGenerator.h"
#include "engine/QVGraph.h"
#include "engine/QVMixer.h"
#include "engine/QVNumeric.h"
#include "engine/QVParameter.h"
#include "engine/methods/QVMethod.h"

using qv::SourceText;

namespace {

std::string Quote(std::string_view s) { return qv::QuoteText(s); }

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

std::string ElementLines(const std::string& indent, const char* key, const QVSourceList& list) {
  std::string out;
  for (const QVSourceElement& element : list) {
    out += Line(indent, key, OperatorText(element.Operator) + element.Effector->Name);
  }
  return out;
}

// ---- reading -------------------------------------------------------------

// The word behind a key, with the position where it starts.
std::string ReadValueWord(SourceText& text, size_t& start) {
  qv::SkipBlanks(text);
  start = text.Position();
  return qv::ReadWord(text);
}

// One entry: key, then its value read by read on the same line, stored
// through store the moment it has been read; then on to the next line.
template <typename T, typename Read, typename Store>
bool ReadEntry(SourceText& text, const char* key, Read read, Store store) {
  if (qv::ExpectKeyword(text, key)) return true;
  T value{};
  if (read(text, value)) return true;
  store(std::move(value));
  qv::SkipWhitespace(text);
  return false;
}

template <typename Store>
bool NumberEntry(SourceText& text, const char* key, Store store) {
  return ReadEntry<double>(text, key, qv::ReadNumber, store);
}

// Integers are written as numbers; a fraction is truncated toward zero.
template <typename Store>
bool IntEntry(SourceText& text, const char* key, Store store) {
  return NumberEntry(text, key, [&](double v) { store(qv::TruncToInt(v)); });
}

template <typename Store>
bool ComplexEntry(SourceText& text, const char* key, Store store) {
  return ReadEntry<QVComplex>(text, key, qv::ReadComplex, store);
}

template <typename Store>
bool SwitchEntry(SourceText& text, const char* key, Store store) {
  const auto read = [](SourceText& t, bool& on) {
    size_t start = 0;
    const std::string word = ReadValueWord(t, start);
    if (word != "on" && word != "off") {
      return t.FailAt(start, "expected \"on\" or \"off\", found " + Quote(word));
    }
    on = word == "on";
    return false;
  };
  return ReadEntry<bool>(text, key, read, store);
}

// "unknown WHAT "WORD"; expected one of "A", "B", "C"" (or "A" or "B" when
// there are two).
template <typename Names>
std::string UnknownName(const char* what, const std::string& word, const Names& names) {
  std::string choices;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) choices += names.size() > 2 ? ", " : " or ";
    choices += Quote(names[i]);
  }
  return "unknown " + std::string(what) + " " + Quote(word) + "; expected " +
         (names.size() > 2 ? "one of " : "") + choices;
}

// The value is one of the names in table; the index of the equal name is stored.
template <size_t N, typename Store>
bool TableEntry(SourceText& text, const char* key, const std::array<std::string, N>& table,
                const char* what, Store store) {
  const auto read = [&](SourceText& t, int32_t& index) {
    size_t start = 0;
    const std::string word = ReadValueWord(t, start);
    for (size_t i = 0; i < N; ++i) {
      if (table[i] == word) {
        index = static_cast<int32_t>(i);
        return false;
      }
    }
    return t.FailAt(start, UnknownName(what, word, table));
  };
  return ReadEntry<int32_t>(text, key, read, store);
}

// The value is a method's block; a clone of the prototype of that name reads it.
template <typename T, typename Store>
bool MethodEntry(SourceText& text, const char* key, const std::vector<const T*>& list,
                 const char* family, Store store) {
  const auto read = [&](SourceText& t, std::unique_ptr<T>& method) {
    size_t start = 0;
    const std::string word = ReadValueWord(t, start);
    if (!FindMethod(list, word)) {
      std::vector<std::string> names;
      for (const T* m : list) names.push_back(m->Name);
      return t.FailAt(start, UnknownName(family, word, names));
    }
    t.Rewind(start);
    method = qv::ReadMethodEntry(t, list, family);
    return method == nullptr;
  };
  return ReadEntry<std::unique_ptr<T>>(text, key, read, store);
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
    QVEffector* effector = mixer.OwnerGraph->FindEffector(name);
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
bool ReadConvertData(SourceText& text, std::vector<ConvertData>& entries) {
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
  entries.push_back(ConvertData{input, color});
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
  return TableEntry(text, "FractalType:", FractalTypeNames, "fractal type",
                    [this](int32_t t) { ChangeFractalType(t); }) ||
         MethodEntry(text, "FractalMethod:", FractalMethods(), "fractal method",
                     [this](auto m) { ChangeFractalMethod(std::move(m)); }) ||
         ComplexEntry(text,
                      "FractalParameter:", [this](QVComplex c) { ChangeFractalParameter(c); }) ||
         ComplexEntry(text, "Viewpoint:", [this](QVComplex v) { ChangeViewpoint(v); }) ||
         NumberEntry(text, "Scale:", [this](double s) { ChangeScale(s); }) ||
         IntEntry(text, "Width:", [this](int32_t w) { ChangeWidth(w); }) ||
         IntEntry(text, "Height:", [this](int32_t h) { ChangeHeight(h); });
}

// ---- generator -------------------------------------------------------------

std::string QVGenerator::WriteSource(const std::string& indent) const {
  return MethodLine(indent, "DivergenceMethod: ", *DivergenceMethod) +
         MethodLine(indent, "OutputMethod: ", *OutputMethod) +
         Line(indent, "Depth: ", qv::IntToText(Depth)) +
         Line(indent, "Range: ", qv::NumberToText(Range));
}

bool QVGenerator::ReadSource(SourceText& text) {
  return MethodEntry(text, "DivergenceMethod:", DivergenceMethods(), "divergence method",
                     [this](auto m) { SetDivergenceMethod(std::move(m)); }) ||
         MethodEntry(text, "OutputMethod:", OutputMethods(), "output method",
                     [this](auto m) { SetOutputMethod(std::move(m)); }) ||
         IntEntry(text, "Depth:", [this](int32_t d) { SetDepth(d); }) ||
         NumberEntry(text, "Range:", [this](double r) { SetRange(r); });
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
  // Names are looked up exactly, the empty one too; an empty name that no
  // generator has means no generator (what the writer writes for an effector
  // whose generator was deleted).
  const auto generator = [this](SourceText& t, QVGenerator*& g) {
    size_t start = 0;
    const std::string name = ReadValueWord(t, start);
    g = OwnerGraph->FindGenerator(name);
    return g || name.empty() ? false : t.FailAt(start, "no generator named " + Quote(name));
  };
  if (ReadEntry<QVGenerator*>(text, "Generator:", generator,
                              [this](QVGenerator* g) { SetGenerator(g); }) ||
      MethodEntry(text, "RenderingMethod:", RenderingMethods(), "rendering method",
                  [this](auto m) { SetRenderingMethod(std::move(m)); }) ||
      SwitchEntry(text, "Differential:", [this](bool on) { SetDifferential(on); }) ||
      ComplexEntry(text,
                   "DifferentialVector:", [this](QVComplex v) { SetDifferentialVector(v); }) ||
      SwitchEntry(text,
                  "DifferentialRegularSW:", [this](bool on) { SetDifferentialRegularSW(on); }) ||
      SwitchEntry(text, "DifferentialEdgeSW:", [this](bool on) { SetDifferentialEdgeSW(on); })) {
    return true;
  }
  // The text lists the whole colour bar: no line, no entry.
  ClearEntries();
  std::vector<ConvertData> entries;  // inserted all at once: in order, without quadratic cost
  while (!qv::MatchKeyword(text, "ConvertData:")) {
    if (ReadConvertData(text, entries)) return true;
    qv::SkipWhitespace(text);
  }
  InsertEntries(entries);
  return false;
}

// ---- mixer -----------------------------------------------------------------

std::string QVMixer::WriteSource(const std::string& indent) const {
  // A type outside the table combines as the sum, type 0.
  const bool known = TransparenceType >= 0 &&
                     TransparenceType < static_cast<int32_t>(TransparenceTypeNames.size());
  return ElementLines(indent, "SourceList: ", SourceList()) +
         ElementLines(indent, "TransparenceList: ", TransparenceList()) +
         Line(indent, "TransparenceType: ",
              TransparenceTypeNames[known ? static_cast<size_t>(TransparenceType) : 0]) +
         Line(indent, "Regular: ", SwitchText(Regular)) +
         Line(indent, "MaskSW: ", SwitchText(MaskSW));
}

bool QVMixer::ReadSource(SourceText& text) {
  return ReadElements(text, "SourceList:", *this, false) ||
         ReadElements(text, "TransparenceList:", *this, true) ||
         TableEntry(text, "TransparenceType:", TransparenceTypeNames, "transparence type",
                    [this](int32_t t) { SetTransparenceType(t); }) ||
         SwitchEntry(text, "Regular:", [this](bool on) { SetRegular(on); }) ||
         SwitchEntry(text, "MaskSW:", [this](bool on) { SetMaskSW(on); });
}
