#pragma once
// The project-text blocks of the engine's objects: the global parameters, the
// three node kinds and the methods. A block is the object's name line, "{",
// its body one tab deeper, "}" and an empty line. Written from the objects'
// getters and read back through their setters (a node's name through its
// graph), so the engine knows nothing of the text.
//
// A body holds its keys in a fixed order, one per line. Reading is strict
// about keys (spelling, case, order, a blank behind the colon) and values (on
// the key's own line, names from their tables) and tolerant about blanks and
// line breaks between entries. Every failure is recorded in the text at the
// place where reading stopped; true = failure.
#include <memory>
#include <string>
#include <vector>

#include "base/QVScan.h"
#include "engine/methods/QVMethod.h"

class QVEffector;
class QVGenerator;
class QVMixer;
class QVParameter;

namespace qv {

std::string WriteBlock(const QVParameter& parameter, const std::string& indent);
std::string WriteBlock(const QVGenerator& generator, const std::string& indent);
std::string WriteBlock(const QVEffector& effector, const std::string& indent);
std::string WriteBlock(const QVMixer& mixer, const std::string& indent);
/// A method's block: its name and one "Parameter: (re, im)" line per slot.
std::string WriteBlock(const QVMethod& method, const std::string& indent);

/// Read a whole block into an existing object: the name word, then the body.
/// A node takes the name through its graph, which indexes it also when the
/// body then fails.
bool ReadBlock(QVParameter& parameter, SourceText& text);
bool ReadBlock(QVGenerator& generator, SourceText& text);
bool ReadBlock(QVEffector& effector, SourceText& text);
bool ReadBlock(QVMixer& mixer, SourceText& text);
/// The name word must be method's own name.
bool ReadBlock(QVMethod& method, SourceText& text);

/// Reads a method entry (after its key): looks the name up in list, clones the
/// prototype and reads its block into the clone. Null on failure (recorded in
/// text). family names the list in messages ("divergence method").
template <typename T>
std::unique_ptr<T> ReadMethodEntry(SourceText& text, const std::vector<const T*>& list,
                                   const char* family) {
  const size_t start = (SkipBlanks(text), text.Position());
  const std::string name = ReadWord(text);
  const T* prototype = FindMethod(list, name);
  if (!prototype) {
    text.FailAt(start, "unknown " + std::string(family) + " " + QuoteText(name));
    return nullptr;
  }
  std::unique_ptr<T> method = CloneAs(*prototype);
  text.Rewind(start);  // the block starts with the name again
  if (ReadBlock(*method, text)) return nullptr;
  return method;
}

}  // namespace qv
