// qvell: the editor and the command line.
#include "app/QVCommandLine.h"

int main(int argc, char** argv) { return qv::RunCommandLine(argc, argv); }
