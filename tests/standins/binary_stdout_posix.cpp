#include "binary_stdout.h"

void makeStdoutBinary() {} // POSIX never translates
