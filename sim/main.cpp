// tarnwick-sim: plays a match on the real Tarnwick.dll, and checks a settings file.
#include "sim/commands.h"

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // Output piped into a pager that quits early must not kill the program before it has
    // removed its working folder.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    return sim::Main(argc, argv, std::cout, std::cerr);
}
