#include <gtest/gtest.h>

#include "tests/lab/lab_support.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Before any thread exists, so later threads and children start in the
    // lab's client namespace too.
    lab::EnterClientNamespace();
    return RUN_ALL_TESTS();
}
