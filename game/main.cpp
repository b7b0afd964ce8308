#include "Program.h"

// The program takes no arguments and reads no configuration.
int main(int, char**) { return RunProgram(); }
