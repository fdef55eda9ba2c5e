// zentavo-cli: the engines on the command line.
#pragma once

namespace zv::cli {

// Runs one command; returns the process exit code (0, 1 failure, 2 usage).
int Run(int argc, char** argv);

} // namespace zv::cli
