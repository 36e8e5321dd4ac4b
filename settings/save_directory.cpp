#include "settings/save_directory.h"

char SaveDirectory[kPathSize] = "C:\\";
