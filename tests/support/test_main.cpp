// Shared main of every test executable.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    // Output goes to a file or pipe under CTest; keep it in order with gtest's.
    setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
