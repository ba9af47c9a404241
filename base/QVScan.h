#pragma once
// Text scanning helpers of the project text. Each reading function looks at the
// front of one shared SourceText, consumes what it reads, and returns a failure
// flag (true = failure). Only single bytes are tested against ASCII, so UTF-8
// names pass through untouched. Layer 0: includes nothing of the engine.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/QVComplex.h"

namespace qv {

/// What a reading failure is, as data, for a caller that words it itself
/// (the English message says the same).
struct ReadProblem {
  enum Kind {
    Other,              ///< see the message
    ExpectedKeyword,    ///< Expected was not there; Found is the word there ("" : the text ends)
    ExpectedBlank,      ///< Expected is glued to what follows it (Found)
    ExpectedChar,       ///< Expected (one character) was not there; Found "" : the text ends
    ExpectedNumber,     ///< no number where one must be
    NotANumber,         ///< Found is a token that is no number
    OutOfRange,         ///< Found is a number beyond the double range
    ExpectedSwitch,     ///< "on" or "off" must stand where Found is
    UnknownName,        ///< Found is no name the key Expected takes; Choices are those names
    NoSuchNode,         ///< no node of the kind Expected ("Generator", "Effector") is named Found
    EmptyElement,       ///< a mixer's element has neither an operator nor a name
    ColourOutOfRange,   ///< Found is a colour component outside 0 to 255
    ExpectedParameter,  ///< Expected is "Parameter:"; the Index-th of Count of method Found
    UnexpectedText,     ///< the text does not start with a block
  };
  Kind What = Other;
  std::string Expected{};
  std::string Found{};
  std::vector<std::string> Choices{};
  int Index = 0;
  int Count = 0;
};

/// The rest of a text being read, plus the first failure recorded while reading
/// it. The position counts bytes from the start of the whole text, so a failure
/// can be reported as a line and column of the original.
class SourceText {
 public:
  explicit SourceText(std::string text) : text_(std::move(text)) {}

  std::string_view Rest() const { return std::string_view(text_).substr(pos_); }
  bool Empty() const { return pos_ >= text_.size(); }
  char Front() const { return text_[pos_]; }
  void Consume(size_t n) { pos_ = n > text_.size() - pos_ ? text_.size() : pos_ + n; }
  size_t Position() const { return pos_; }
  /// Moves back to an earlier position (puts consumed text back in front).
  void Rewind(size_t pos) { pos_ = pos < text_.size() ? pos : text_.size(); }

  /// Records a failure at the current position unless one is recorded already
  /// (the innermost reader knows best what it expected). Returns true, the
  /// failure flag, so readers can write `return text.Fail("...")`.
  bool Fail(const std::string& message, ReadProblem problem = {}) {
    return FailAt(pos_, message, std::move(problem));
  }
  bool FailAt(size_t pos, const std::string& message, ReadProblem problem = {});
  bool HasError() const { return has_error_; }
  const std::string& ErrorMessage() const { return error_; }
  const ReadProblem& ErrorProblem() const { return problem_; }
  size_t ErrorPosition() const { return error_pos_; }

  /// 1-based line and column of a byte position; columns count UTF-8
  /// characters, and CR LF, LF or a lone CR each end a line.
  void LineColumn(size_t pos, int& line, int& column) const;

 private:
  std::string text_;
  size_t pos_ = 0;
  bool has_error_ = false;
  size_t error_pos_ = 0;
  std::string error_;
  ReadProblem problem_;
};

/// A number token that is not a valid number, or lies beyond the double range.
/// The message is "'TOKEN' is not a number" or "'TOKEN' is out of range: ...".
class NumberFormatError : public std::runtime_error {
 public:
  explicit NumberFormatError(const std::string& token, bool outOfRange = false);
  const std::string& Token() const { return token_; }
  /// True when the token is a number beyond the double range.
  bool OutOfRange() const { return outOfRange_; }

 private:
  std::string token_;
  bool outOfRange_;
};

bool IsBlank(char c);
bool IsWhitespace(char c);

void SkipBlanks(SourceText& text);
void SkipWhitespace(SourceText& text);
/// The word at the front after SkipBlanks, consumed; empty at a line break or the end.
std::string ReadWord(SourceText& text);
/// Consumes the word at the front only when it equals keyword byte for byte.
/// Returns true (failure) otherwise. Records no error: callers use it to probe.
bool MatchKeyword(SourceText& text, std::string_view keyword);
/// MatchKeyword that records what was found when keyword is not there:
/// "expected KEY, found WORD", "expected KEY followed by a blank, found
/// KEYvalue" or "expected KEY but the text ends". true = failure.
bool ExpectKeyword(SourceText& text, std::string_view keyword);
/// Consumes c when it is the first character after blanks; records an error otherwise
/// (the end of the text included).
bool ExpectChar(SourceText& text, char c);
/// Reads a run of "-+0123456789.EeDd" and converts it. An empty run records an
/// error and returns true; a run that does not convert throws NumberFormatError
/// and consumes nothing.
bool ReadNumber(SourceText& text, double& value);
/// The run ReadNumber would convert, after blanks; consumes nothing but the
/// blanks. An empty run records an error and returns true.
bool ReadNumberToken(SourceText& text, std::string_view& token);
/// "(" number "," number ")", blanks allowed before each item.
bool ReadComplex(SourceText& text, QVComplex& value);

/// Strict locale-independent conversion of a whole token: optional sign, digits
/// with at most one ".", optional exponent "E"/"e" with optional sign. Throws
/// NumberFormatError when the token is anything else or overflows a double.
double ConvertNumber(std::string_view token);

/// General format, at most 15 significant digits: plain decimal for magnitudes
/// in [1E-4, 1E15), otherwise mantissa "E" exponent (5E-5, 1.5E20); zero is "0".
std::string NumberToText(double value);
/// Significant digits (no trailing zeros; at least one) laid out as
/// NumberToText lays out its own, the first digit standing for units times
/// 10 to the exponent: plain decimal for exponents -4 to 14, otherwise
/// mantissa "E" exponent.
std::string DigitsToText(bool negative, const std::string& digits, int64_t exponent);
/// The value the project text keeps of value: what reading NumberToText(value)
/// back gives, ConvertNumber(NumberToText(value)). Every stored setting goes
/// through it, so what is rendered is what a saved project reads back as. -0
/// keeps as 0. A finite value whose 15 digits round past the double range
/// keeps as the largest that does not, +-1.79769313486231E308; NaN and the
/// infinities, which the text cannot hold, stay as they are.
double KeptNumber(double value);
/// KeptNumber of each part.
inline QVComplex KeptComplex(QVComplex value) {
  return {KeptNumber(value.re), KeptNumber(value.im)};
}
std::string IntToText(long long value);
/// text in double quotes, for messages: control characters, which would cut
/// a message short or act on a terminal, are shown as \xHH.
std::string QuoteText(std::string_view text);
/// "(" real ", " imaginary ")".
std::string ComplexToText(const QVComplex& value);

}  // namespace qv
