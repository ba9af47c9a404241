#pragma once
// The colour-bar file: a plain text of one stop a line, "input R G B" (the
// input in the project text's number format, the channels 0 to 255), blank
// lines and lines starting with "#" ignored. Stops may come in any order; the
// bar is ordered by input. What is read is what the project text would keep,
// so a bar written and read back is the same bar. docs/colorbar-format.md
// describes the format for users.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/QVColorBar.h"

namespace qv {

/// Why a colour-bar text was refused, as data for the caller to word.
struct ColorBarTextProblem {
  enum Kind {
    None,
    FieldCount,     ///< a stop line without exactly four fields (Found: the line)
    BadInput,       ///< the input is no number, or beyond the double range (Found: it)
    BadChannel,     ///< a channel is no whole number from 0 to 255 (Found: it)
    RepeatedInput,  ///< the input (as kept) repeats the stop of line Other
    TooFewStops,    ///< fewer than two stops
  };
  Kind What = None;
  int32_t Line = 0;   ///< 1-based line of the problem (0: the whole text)
  int32_t Other = 0;  ///< for RepeatedInput, the earlier line
  std::string Found;
  bool Ok() const { return What == None; }
};

/// A comment line, then the stops in order, each line ending in LF.
std::string WriteColorBarText(const ColorBar& bar);
/// Reads text (LF or CR LF lines) into bar; on a problem bar is unchanged.
ColorBarTextProblem ReadColorBarText(std::string_view text, ColorBar& bar);

}  // namespace qv
