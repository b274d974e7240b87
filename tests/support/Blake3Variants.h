// The BLAKE3 variants this processor runs, as the parameters of a test suite: each test runs
// once per variant, named after it ("avx512", "sse41", …).
#pragma once

#include "engines/Blake3Compress.h"

#include <gtest/gtest.h>

#include <string>

inline std::string Blake3VariantTestName(const ::testing::TestParamInfo<Blake3Variant>& variant)
{
    std::string name = variant.param.Name;
    std::erase(name, '.');
    return name;
}

#define INSTANTIATE_FOR_EVERY_BLAKE3_VARIANT(prefix, suite)                                                  \
    INSTANTIATE_TEST_SUITE_P(prefix, suite, ::testing::ValuesIn(Blake3VariantsHere()), Blake3VariantTestName)
