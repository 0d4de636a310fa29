// Finding the path of the running executable at start-up: the first
// argument when it holds a "/", otherwise what `which` finds on the search
// path, with symbolic links followed (at most kMaxLinks of them).
#pragma once

#include <string>

constexpr unsigned kExecutablePathSize = 2048;
constexpr int kMaxLinks = 40;

// Quotes `text` for the shell: in single quotes, each single quote written
// as '\'' so that nothing in it is interpreted.
std::string ShellQuote(const char *text);

// Fills `path` (kExecutablePathSize bytes, zeroed first). False when `which`
// could not be run. When the path came through `which`, argv[0] is pointed at
// `path`.
bool FindExecutablePath(char **argv, char *path);

// The path start-up found (null before, or when none was found).
const char *RuntimeExecutablePath();
void SetRuntimeExecutablePath(const char *path);
