// The blocks of the engine's objects as project text: each body writes its
// keys in a fixed order, one per line, and reads them back in that same
// order through the setters.
#include "source/QVObjectText.h"

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

namespace qv {

namespace {

std::string Quote(std::string_view s) { return QuoteText(s); }

// ---- writing -------------------------------------------------------------

std::string Line(const std::string& indent, const char* key, const std::string& value) {
  return indent + key + value + "\n";
}

std::string SwitchText(bool on) { return on ? "on" : "off"; }

// A method entry: the key, then the method's block at the body's own indent.
std::string MethodLine(const std::string& indent, const char* key, const QVMethod& method) {
  return indent + key + WriteBlock(method, indent);
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
    out += Line(indent, key, OperatorText(element.Operator) + element.Effector->Name());
  }
  return out;
}

// ---- reading -------------------------------------------------------------

// The word behind a key, with the position where it starts.
std::string ReadValueWord(SourceText& text, size_t& start) {
  SkipBlanks(text);
  start = text.Position();
  return ReadWord(text);
}

// One entry: key, then its value read by read on the same line, stored
// through store the moment it has been read; then on to the next line.
template <typename T, typename Read, typename Store>
bool ReadEntry(SourceText& text, const char* key, Read read, Store store) {
  if (ExpectKeyword(text, key)) return true;
  T value{};
  if (read(text, value)) return true;
  store(std::move(value));
  SkipWhitespace(text);
  return false;
}

template <typename Store>
bool NumberEntry(SourceText& text, const char* key, Store store) {
  return ReadEntry<double>(text, key, ReadNumber, store);
}

// Integers are written as numbers; a fraction is truncated toward zero.
template <typename Store>
bool IntEntry(SourceText& text, const char* key, Store store) {
  return NumberEntry(text, key, [&](double v) { store(TruncToInt(v)); });
}

template <typename Store>
bool ComplexEntry(SourceText& text, const char* key, Store store) {
  return ReadEntry<QVComplex>(text, key, ReadComplex, store);
}

template <typename Store>
bool PreciseComplexEntry(SourceText& text, const char* key, Store store) {
  return ReadEntry<DecimalComplex>(text, key, ReadDecimalComplex, store);
}

template <typename Store>
bool SwitchEntry(SourceText& text, const char* key, Store store) {
  const auto read = [](SourceText& t, bool& on) {
    size_t start = 0;
    const std::string word = ReadValueWord(t, start);
    if (word != "on" && word != "off") {
      return t.FailAt(start, "expected \"on\" or \"off\", found " + Quote(word),
                      {ReadProblem::ExpectedSwitch, "", word});
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
    return t.FailAt(start, UnknownName(what, word, table),
                    {ReadProblem::UnknownName, key, word, {table.begin(), table.end()}});
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
      for (const T* m : list) names.push_back(m->Name());
      return t.FailAt(start, UnknownName(family, word, names),
                      {ReadProblem::UnknownName, key, word, names});
    }
    t.Rewind(start);
    method = ReadMethodEntry(t, list, family);
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
  while (!MatchKeyword(text, key)) {
    size_t start = 0;
    const std::string word = ReadValueWord(text, start);
    if (word.empty()) {
      return text.FailAt(start, "empty element: expected an operator and a name",
                         {ReadProblem::EmptyElement});
    }
    size_t length = 0;
    const int32_t op = FirstCharacter(word, length);
    const std::string name = word.substr(length);
    QVEffector* effector = mixer.Graph().FindEffector(name);
    if (!effector) {
      return text.FailAt(start + length, "no effector named " + Quote(name),
                         {ReadProblem::NoSuchNode, "Effector", name});
    }
    if (transparence) {
      mixer.AppendTransparence(op, effector);
    } else {
      mixer.AppendSource(op, effector);
    }
    SkipWhitespace(text);
  }
  return false;
}

// One colour-bar line after "ConvertData:": input value, red, green, blue.
bool ReadConvertData(SourceText& text, std::vector<ConvertData>& entries) {
  double input = 0.0;
  if (ReadNumber(text, input)) return true;
  int32_t color = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    double v = 0.0;
    SkipBlanks(text);
    const size_t start = text.Position();
    if (ReadNumber(text, v)) return true;
    const int32_t component = TruncToInt(v);
    if (component < 0 || component > 255) {
      return text.FailAt(start, "colour component " + NumberToText(v) + " is outside 0–255",
                         {ReadProblem::ColourOutOfRange, "", NumberToText(v)});
    }
    color |= component << shift;
  }
  entries.push_back(ConvertData{input, color});
  return false;
}

// ---- bodies --------------------------------------------------------------

std::string WriteBody(const QVParameter& p, const std::string& indent) {
  // Every type other than 0 iterates as the Julia-like type.
  return Line(indent, "FractalType: ", FractalTypeNames[p.FractalType() == 0 ? 0 : 1]) +
         MethodLine(indent, "FractalMethod: ", p.FractalMethod()) +
         Line(indent, "FractalParameter: ",
              PreciseComplexToText(p.PreciseFractalParameter(), p.FractalParameter(),
                                   p.WritesAllDigits())) +
         Line(indent, "Viewpoint: ",
              PreciseComplexToText(p.PreciseViewpoint(), p.Viewpoint(), p.WritesAllDigits())) +
         Line(indent, "Scale: ", NumberToText(p.Scale())) +
         Line(indent, "Width: ", IntToText(p.Width())) +
         Line(indent, "Height: ", IntToText(p.Height()));
}

bool ReadBody(QVParameter& p, SourceText& text) {
  return TableEntry(text, "FractalType:", FractalTypeNames, "fractal type",
                    [&](int32_t t) { p.ChangeFractalType(t); }) ||
         MethodEntry(text, "FractalMethod:", FractalMethods(), "fractal method",
                     [&](auto m) { p.ChangeFractalMethod(std::move(m)); }) ||
         PreciseComplexEntry(
             text, "FractalParameter:",
             [&](const DecimalComplex& c) { p.ChangePreciseFractalParameter(c); }) ||
         PreciseComplexEntry(
             text, "Viewpoint:", [&](const DecimalComplex& v) { p.ChangePreciseViewpoint(v); }) ||
         NumberEntry(text, "Scale:", [&](double s) { p.ChangeScale(s); }) ||
         IntEntry(text, "Width:", [&](int32_t w) { p.ChangeWidth(w); }) ||
         IntEntry(text, "Height:", [&](int32_t h) { p.ChangeHeight(h); });
}

std::string WriteBody(const QVGenerator& g, const std::string& indent) {
  return MethodLine(indent, "DivergenceMethod: ", g.DivergenceMethod()) +
         MethodLine(indent, "OutputMethod: ", g.OutputMethod()) +
         Line(indent, "Depth: ", IntToText(g.Depth())) +
         Line(indent, "Range: ", NumberToText(g.Range()));
}

bool ReadBody(QVGenerator& g, SourceText& text) {
  return MethodEntry(text, "DivergenceMethod:", DivergenceMethods(), "divergence method",
                     [&](auto m) { g.SetDivergenceMethod(std::move(m)); }) ||
         MethodEntry(text, "OutputMethod:", OutputMethods(), "output method",
                     [&](auto m) { g.SetOutputMethod(std::move(m)); }) ||
         IntEntry(text, "Depth:", [&](int32_t d) { g.SetDepth(d); }) ||
         NumberEntry(text, "Range:", [&](double r) { g.SetRange(r); });
}

std::string WriteBody(const QVEffector& e, const std::string& indent) {
  const QVGenerator* generator = e.Generator();
  std::string out = Line(indent, "Generator: ", generator ? generator->Name() : std::string()) +
                    MethodLine(indent, "RenderingMethod: ", e.RenderingMethod()) +
                    Line(indent, "Differential: ", SwitchText(e.Differential())) +
                    Line(indent, "DifferentialVector: ", ComplexToText(e.DifferentialVector())) +
                    Line(indent, "DifferentialRegularSW: ", SwitchText(e.DifferentialRegularSW())) +
                    Line(indent, "DifferentialEdgeSW: ", SwitchText(e.DifferentialEdgeSW()));
  for (int32_t i = 0; i < e.EntryCount(); ++i) {
    int32_t r = 0, g = 0, b = 0;
    UnpackRGB(e.EntryColor(i), r, g, b);
    out += Line(indent, "ConvertData: ",
                NumberToText(e.EntryInput(i)) + " " + IntToText(r) + " " + IntToText(g) + " " +
                    IntToText(b));
  }
  return out;
}

bool ReadBody(QVEffector& e, SourceText& text) {
  // Names are looked up exactly, the empty one too; an empty name that no
  // generator has means no generator (what the writer writes for an effector
  // whose generator was deleted).
  const auto generator = [&](SourceText& t, QVGenerator*& g) {
    size_t start = 0;
    const std::string name = ReadValueWord(t, start);
    g = e.Graph().FindGenerator(name);
    return g || name.empty() ? false
                             : t.FailAt(start, "no generator named " + Quote(name),
                                        {ReadProblem::NoSuchNode, "Generator", name});
  };
  if (ReadEntry<QVGenerator*>(text, "Generator:", generator,
                              [&](QVGenerator* g) { e.SetGenerator(g); }) ||
      MethodEntry(text, "RenderingMethod:", RenderingMethods(), "rendering method",
                  [&](auto m) { e.SetRenderingMethod(std::move(m)); }) ||
      SwitchEntry(text, "Differential:", [&](bool on) { e.SetDifferential(on); }) ||
      ComplexEntry(text, "DifferentialVector:", [&](QVComplex v) { e.SetDifferentialVector(v); }) ||
      SwitchEntry(text,
                  "DifferentialRegularSW:", [&](bool on) { e.SetDifferentialRegularSW(on); }) ||
      SwitchEntry(text, "DifferentialEdgeSW:", [&](bool on) { e.SetDifferentialEdgeSW(on); })) {
    return true;
  }
  // The text lists the whole colour bar: no line, no entry.
  e.ClearEntries();
  std::vector<ConvertData> entries;  // inserted all at once: in order, without quadratic cost
  while (!MatchKeyword(text, "ConvertData:")) {
    if (ReadConvertData(text, entries)) return true;
    SkipWhitespace(text);
  }
  e.InsertEntries(entries);
  return false;
}

std::string WriteBody(const QVMixer& m, const std::string& indent) {
  // A type outside the table combines as the sum, type 0.
  const int32_t type = m.TransparenceType();
  const bool known = type >= 0 && type < static_cast<int32_t>(TransparenceTypeNames.size());
  return ElementLines(indent, "SourceList: ", m.SourceList()) +
         ElementLines(indent, "TransparenceList: ", m.TransparenceList()) +
         Line(indent,
              "TransparenceType: ", TransparenceTypeNames[known ? static_cast<size_t>(type) : 0]) +
         Line(indent, "Regular: ", SwitchText(m.Regular())) +
         Line(indent, "MaskSW: ", SwitchText(m.MaskSW()));
}

bool ReadBody(QVMixer& m, SourceText& text) {
  return ReadElements(text, "SourceList:", m, false) ||
         ReadElements(text, "TransparenceList:", m, true) ||
         TableEntry(text, "TransparenceType:", TransparenceTypeNames, "transparence type",
                    [&](int32_t t) { m.SetTransparenceType(t); }) ||
         SwitchEntry(text, "Regular:", [&](bool on) { m.SetRegular(on); }) ||
         SwitchEntry(text, "MaskSW:", [&](bool on) { m.SetMaskSW(on); });
}

std::string WriteBody(const QVMethod& method, const std::string& indent) {
  std::string out;
  for (uint32_t i = 0; i < method.ParamCount(); ++i) {
    out += indent + "Parameter: " + ComplexToText(method.ParamValue(i)) + "\n";
  }
  return out;
}

bool ReadBody(QVMethod& method, SourceText& text) {
  const uint32_t count = method.ParamCount();
  for (uint32_t i = 0; i < count; ++i) {
    if (MatchKeyword(text, "Parameter:")) {
      return text.Fail("expected \"Parameter:\" followed by a blank (parameter " +
                           IntToText(i + 1) + " of " + IntToText(count) + " of \"" + method.Name() +
                           "\")",
                       {ReadProblem::ExpectedParameter,
                        "Parameter:",
                        method.Name(),
                        {},
                        static_cast<int>(i + 1),
                        static_cast<int>(count)});
    }
    QVComplex value;
    if (ReadComplex(text, value)) return true;
    method.SetParamValue(i, value);
    SkipWhitespace(text);
  }
  return false;
}

// The block form shared by every object: name line, "{", body one tab
// deeper, "}", empty line.
template <typename T>
std::string Block(const T& object, const std::string& indent) {
  return object.Name() + "\n" + indent + "{\n" + WriteBody(object, indent + "\t") + indent +
         "}\n\n";
}

// Reads a block: the name word (handed to storeName), "{", the body, "}",
// trailing whitespace.
template <typename T, typename StoreName>
bool ReadNamedBlock(T& object, SourceText& text, StoreName storeName) {
  storeName(ReadWord(text));
  SkipWhitespace(text);
  if (ExpectChar(text, '{')) return true;
  SkipWhitespace(text);
  if (ReadBody(object, text)) return true;
  if (ExpectChar(text, '}')) return true;
  SkipWhitespace(text);
  return false;
}

template <typename Node>
bool ReadNodeBlock(Node& node, SourceText& text) {
  return ReadNamedBlock(node, text,
                        [&](std::string name) { node.Graph().Rename(node, std::move(name)); });
}

}  // namespace

std::string WriteBlock(const QVParameter& parameter, const std::string& indent) {
  return Block(parameter, indent);
}
std::string WriteBlock(const QVGenerator& generator, const std::string& indent) {
  return Block(generator, indent);
}
std::string WriteBlock(const QVEffector& effector, const std::string& indent) {
  return Block(effector, indent);
}
std::string WriteBlock(const QVMixer& mixer, const std::string& indent) {
  return Block(mixer, indent);
}
std::string WriteBlock(const QVMethod& method, const std::string& indent) {
  return Block(method, indent);
}

bool ReadBlock(QVParameter& parameter, SourceText& text) {
  return ReadNamedBlock(parameter, text,
                        [&](std::string name) { parameter.SetName(std::move(name)); });
}
bool ReadBlock(QVGenerator& generator, SourceText& text) { return ReadNodeBlock(generator, text); }
bool ReadBlock(QVEffector& effector, SourceText& text) { return ReadNodeBlock(effector, text); }
bool ReadBlock(QVMixer& mixer, SourceText& text) { return ReadNodeBlock(mixer, text); }
// ReadMethodEntry has found the method by this very word.
bool ReadBlock(QVMethod& method, SourceText& text) {
  return ReadNamedBlock(method, text, [](const std::string&) {});
}

}  // namespace qv
