// tarnwick-sim: plays a match on the real Tarnwick.dll, and checks a settings file.
#include "sim/commands.h"

#include <iostream>

int main(int argc, char** argv) {
    return sim::Main(argc, argv, std::cout, std::cerr);
}
