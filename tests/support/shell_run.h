// Runs a command line through the shell (POSIX hosts) and collects its
// standard output and exit code, for the whole-program cases of the console
// programs.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

struct ShellRun {
  int exitCode;
  std::string out;
};

inline ShellRun RunShell(const std::string& command) {
  ShellRun run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Single quotes suffice: scratch paths hold spaces and Chinese, never a quote.
inline std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }
