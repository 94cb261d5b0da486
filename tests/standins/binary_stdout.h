// Standard output without any translation of line ends, so stand-ins write exactly their bytes.
#pragma once

void makeStdoutBinary();
