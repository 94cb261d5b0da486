#include "binary_stdout.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

void makeStdoutBinary() { _setmode(_fileno(stdout), _O_BINARY); }
