// The stand-alone checksums against the baselines, in one run:
//   CRC-32: the chosen fast update, its two routes, the byte-wise table walk and zlib, over the
//   65521-byte reads of the CRC-32 file path;
//   MD5: our routines, the MD5 engine and OpenSSL, fed 16384 bytes at a time like the MD5 file
//   path.
#include "checksums/CRC32_FCS32.h"
#include "checksums/md5.h"
#include "engines/DCPmd5.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <memory>
#include <random>
#include <vector>

namespace {

const std::vector<uint8_t>& Data()
{
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> bytes(1 << 20);
        std::mt19937_64 rng(42);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(rng());
        return bytes;
    }();
    return data;
}

constexpr size_t CrcRead = 65521;
constexpr size_t Md5Feed16k = 16384;

template <uint32_t (*Update)(uint32_t, const void*, size_t)>
void BM_Crc32(benchmark::State& state)
{
    const auto& data = Data();
    uint32_t reg = 0xFFFFFFFF;
    for (auto _ : state) {
        reg = Update(reg, data.data(), CrcRead);
        benchmark::DoNotOptimize(reg);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * CrcRead);
}

void BM_Crc32_Zlib(benchmark::State& state)
{
    const auto& data = Data();
    uLong crc = 0;
    for (auto _ : state) {
        crc = crc32_z(crc, data.data(), CrcRead);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * CrcRead);
}

void BM_Md5_Routines(benchmark::State& state)
{
    const auto& data = Data();
    for (auto _ : state) {
        Md5Context context;
        Md5Start(context);
        for (size_t at = 0; at < data.size(); at += Md5Feed16k)
            Md5Feed(context, data.data() + at, Md5Feed16k);
        Md5Digest digest;
        Md5Finish(context, digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void BM_Md5_Engine(benchmark::State& state)
{
    const auto& data = Data();
    // Through the interface, as the engine batch calls it.
    std::unique_ptr<TDCP_hash> engine = std::make_unique<TDCP_md5>();
    for (auto _ : state) {
        engine->Init();
        for (size_t at = 0; at < data.size(); at += Md5Feed16k)
            engine->Update(data.data() + at, Md5Feed16k);
        uint8_t digest[16];
        engine->Final(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

void BM_Md5_OpenSSL(benchmark::State& state)
{
    const auto& data = Data();
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    for (auto _ : state) {
        EVP_DigestInit_ex(context, EVP_md5(), nullptr);
        for (size_t at = 0; at < data.size(); at += Md5Feed16k)
            EVP_DigestUpdate(context, data.data() + at, Md5Feed16k);
        unsigned char digest[16];
        unsigned int size = 0;
        EVP_DigestFinal_ex(context, digest, &size);
        benchmark::DoNotOptimize(digest);
    }
    EVP_MD_CTX_free(context);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}

}  // namespace

BENCHMARK(BM_Crc32<Crc32Update>)->Name("Crc32/chosen");
BENCHMARK(BM_Crc32<Crc32Carryless>)->Name("Crc32/carry-less");
BENCHMARK(BM_Crc32<Crc32Sliced>)->Name("Crc32/sliced-by-16");
BENCHMARK(BM_Crc32<Crc32TableWalk>)->Name("Crc32/byte-wise-table");
BENCHMARK(BM_Crc32_Zlib)->Name("Crc32/zlib");
BENCHMARK(BM_Md5_Routines)->Name("Md5/routines");
BENCHMARK(BM_Md5_Engine)->Name("Md5/engine");
BENCHMARK(BM_Md5_OpenSSL)->Name("Md5/OpenSSL");

BENCHMARK_MAIN();
