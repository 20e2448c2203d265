// Forwards to the shared helpers that the image button's tests use (pixels of a window, the
// message queue).
#pragma once

#include <gtest/gtest.h>

#include "tests/support/MessageQueue.h"
#include "tests/support/WindowPixels.h"

namespace logintest {
}  // namespace logintest
