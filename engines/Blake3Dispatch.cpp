#include "engines/Blake3.h"
#include "engines/Blake3Compress.h"
#include "engines/CpuFeatures.h"

namespace {

// Every variant by name, the widest first, with what it needs of the CPU.
struct Known {
    Blake3HashManyFunction Run;
    const char* Name;
    bool (*RunsHere)();
};
constexpr Known kVariants[]{
    {&Blake3HashManyAvx512, "avx512", [] { return Cpu().Avx512Vl; }},
    {&Blake3HashManyAvx2, "avx2", [] { return Cpu().Avx2Bmi2; }},
    {&Blake3HashManySse41, "sse4.1", [] { return Cpu().Sse41; }},
    {&Blake3HashManyPortable, "portable", [] { return true; }},
};

// The widest the CPU runs: the more chunks side by side, the fewer instructions a byte takes,
// and each wider variant hands what is left over to the narrower ones.
Blake3Variant Widest()
{
    for (const Known& known : kVariants)
        if (known.RunsHere())
            return {known.Run, known.Name};
    return {&Blake3HashManyPortable, "portable"};
}

DispatchedFunction<Blake3HashManyFunction> hashMany{&Widest};

}  // namespace

std::vector<Blake3Variant> Blake3VariantsHere()
{
    std::vector<Blake3Variant> variants;
    for (const Known& known : kVariants)
        if (known.RunsHere())
            variants.push_back({known.Run, known.Name});
    return variants;
}

Blake3Variant UseBlake3Variant(Blake3Variant variant) { return hashMany.Use(variant); }

const char* Blake3VariantName() { return hashMany.Current().Name; }

void RunBlake3HashMany(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                       uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    hashMany.Get()(input, count, blocks, counter, countUp, flags, firstFlags, lastFlags, out);
}
