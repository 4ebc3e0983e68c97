// orlaxctl: the set-up tool's main window, headless, driven by its arguments.
#include <iostream>
#include <string>
#include <vector>

#include "cli/run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return orlax::cli::Run(args, std::cout, std::cerr);
}
