// The conversion driver: the command line, the two files, the stages of a
// run, their messages and result codes.
#pragma once

#include <cstdio>

#include "reader/status.h"

namespace boardshot {

/// Runs one conversion as `boardshot inputFile [outputFile] [-gn] [-mn]`
/// (with `--details` anywhere after the program name), or lists the games
/// of the input with `--list`, printing every message to `console` and the
/// list to standard output. Returns the result: kDone when the scene was
/// written or the list printed, otherwise the first failure.
Status RunConversion(int argc, const char* const argv[], std::FILE* console);

/// The whole program: `--help` or `--version` as the only argument print the
/// usage with every option or the version and return 0; anything else runs
/// a conversion on stdout. Returns the process exit status.
int Main(int argc, const char* const argv[]);

}  // namespace boardshot
