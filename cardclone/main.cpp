#include "cardclone/clone_command.h"
#include "cardclone/clone_texts.h"
#include "common/console.h"

int main(int argc, char** argv) { return RunConsoleProgram(argc, argv, kTextConsoleTitle, CloneCommand); }
