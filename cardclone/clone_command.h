// The cardclone command: its arguments, the golden card's check, the
// refusals, the run with its progress lines, and the results.
#pragma once

// cardclone [--json] [--keep-extra] GOLDEN TARGET...; returns the exit code.
int CloneCommand(int argc, char** argv);
