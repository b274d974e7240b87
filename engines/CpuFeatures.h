// What the processor offers the fast variants of the digests (the SHA compressions here, the
// carry-less CRC-32 above), probed once for the whole program.
#pragma once

struct CpuFeatures {
    bool Sse41 = false;              // SSE4.1
    bool ShaExtensions = false;      // SHA-NI, with SSSE3 and SSE4.1
    bool Avx2Bmi2 = false;           // AVX2, BMI1 and BMI2, the YMM registers saved by the system
    bool Avx512Vl = false;           // AVX-512F and VL as well, the ZMM and mask registers saved
    bool CarrylessMultiply = false;  // PCLMULQDQ, with SSE4.1
    bool Amd = false;                // an AMD processor, whose SHA unit favours other variants
};

const CpuFeatures& Cpu();
