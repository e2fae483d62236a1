// The headers every test program reads once, as a precompiled header: the
// test framework, the standard headers most tests use, and the printer of
// extended reals.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "support/extended_print.hpp"
