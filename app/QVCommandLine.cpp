#include "app/QVCommandLine.h"

#include <string>

namespace qv {

namespace {

const char* const kUsage =
    "usage:\n"
    "  qvell                                  open the editor\n"
    "  qvell render PROJECT.qvl -o OUT [--threads N] [--quiet] [--quality N]\n"
    "                                         render a project to OUT (.bmp, .png, .jpg, .jpeg)\n"
    "  qvell print [PROJECT.qvl]              write a project (or the default one) as text\n"
    "  qvell --help | --version\n";

}  // namespace

int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h") {
    out << kUsage;
    return 0;
  }
  if (command == "--version") {
    out << "qvell " << QV_VERSION << "\n";
    return 0;
  }
  err << kUsage;
  return 1;
}

}  // namespace qv
