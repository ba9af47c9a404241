// qvell: the editor and the command line.
#include <cstring>
#include <iostream>

#include "app/QVCommandLine.h"

int main(int argc, char** argv) { return qv::RunCommandLine(argc, argv, std::cout, std::cerr); }
