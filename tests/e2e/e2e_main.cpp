// The driver runs inside a Wine virtual desktop (`wine explorer /desktop=...`), whose own exit
// code says nothing about the tests; so the result is also written to the file named by
// OXLO_E2E_RESULT for run_e2e.sh to read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (const char* path = std::getenv("OXLO_E2E_RESULT")) std::ofstream(path) << result << "\n";
    return result;
}
