#pragma once

#include <gtest/gtest.h>

#include "tests/lab/lab_support.h"

// Opens a lab test: skips it with the reason when the network lab is not up,
// else binds `info` to the lab's description.
#define REQUIRE_LAB()                                                               \
    if (lab::CurrentLab() == nullptr) {                                             \
        GTEST_SKIP() << "network lab unavailable: " << lab::LabUnavailableReason(); \
    }                                                                               \
    const lab::Info& info = *lab::CurrentLab()
