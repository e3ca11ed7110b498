// tarnwick-sim: plays a match on the real Tarnwick.dll, and checks a settings file.
#include "sim/commands.h"

#include <csignal>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
#ifdef SIGPIPE
    // Output piped into a pager that quits early must not kill the program before it has
    // removed its working folder.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    try {
        return sim::Main(argc, argv, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << "tarnwick-sim: cannot go on: " << e.what() << "\n";
        return 2;
    }
}
