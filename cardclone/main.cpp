#include "cardclone/clone_command.h"
#include "common/console.h"

int main(int argc, char** argv) { return RunConsoleProgram(argc, argv, L"存储卡批量复制", CloneCommand); }
