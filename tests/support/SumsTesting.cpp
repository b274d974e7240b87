#include "tests/support/SumsTesting.h"

#include "tests/support/Oracle.h"
#include "tests/support/TestFiles.h"

#include <gcrypt.h>
#include <mhash.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

int RunShell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ShellWord(const std::string& text)
{
    std::string word = "'";
    for (char c : text) {
        if (c == '\'')
            word += "'\\''";
        else
            word += c;
    }
    return word + "'";
}

namespace {

int GcryptNumber(DigestAlgorithm algorithm)
{
    switch (algorithm) {
    case DigestAlgorithm::MD5: return GCRY_MD_MD5;
    case DigestAlgorithm::MD4: return GCRY_MD_MD4;
    case DigestAlgorithm::SHA1: return GCRY_MD_SHA1;
    case DigestAlgorithm::SHA256: return GCRY_MD_SHA256;
    case DigestAlgorithm::SHA384: return GCRY_MD_SHA384;
    case DigestAlgorithm::SHA512: return GCRY_MD_SHA512;
    case DigestAlgorithm::RipeMD160: return GCRY_MD_RMD160;
    case DigestAlgorithm::Tiger192: return GCRY_MD_TIGER1;
    case DigestAlgorithm::SHA224: return GCRY_MD_SHA224;
    case DigestAlgorithm::SHA3_224: return GCRY_MD_SHA3_224;
    case DigestAlgorithm::SHA3_256: return GCRY_MD_SHA3_256;
    case DigestAlgorithm::SHA3_384: return GCRY_MD_SHA3_384;
    case DigestAlgorithm::SHA3_512: return GCRY_MD_SHA3_512;
    case DigestAlgorithm::Blake2b: return GCRY_MD_BLAKE2B_512;
    case DigestAlgorithm::Blake2s: return GCRY_MD_BLAKE2S_256;
    case DigestAlgorithm::SM3: return GCRY_MD_SM3;
    default: return 0;
    }
}

std::string LowerHexOf(const Bytes& bytes)
{
    std::string hex = Hex(bytes);
    for (char& c : hex)
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c - 'A' + 'a');
    return hex;
}

// BLAKE3 and the xxHash family have no library oracle in Debian: their tools are the oracle.
std::string ToolCommand(DigestAlgorithm algorithm)
{
    switch (algorithm) {
    case DigestAlgorithm::Blake3: return "b3sum --no-names";
    case DigestAlgorithm::XXH64: return "xxhsum -H1";
    case DigestAlgorithm::XXH3: return "xxhsum -H3 --tag";
    case DigestAlgorithm::XXH128: return "xxhsum -H2";
    default: return {};
    }
}

std::string ToolHex(const std::string& command, const std::string& path)
{
    FILE* pipe = popen((command + " < " + ShellWord(path) + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return {};
    std::string out;
    char buffer[256];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    pclose(pipe);
    // "HEX", "HEX  -" or "XXH3 (stdin) = HEX": the hex is the word before any blank, or after "= ".
    const size_t equals = out.find("= ");
    if (equals != std::string::npos)
        out = out.substr(equals + 2);
    return out.substr(0, out.find_first_of(" \n"));
}

}  // namespace

std::string OracleFileHex(DigestAlgorithm algorithm, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    const Bytes content{std::istreambuf_iterator<char>(in), {}};
    if (algorithm == DigestAlgorithm::CRC32) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08lx",
                      crc32(0, content.data(), static_cast<uInt>(content.size())));
        return digits;
    }
    if (algorithm == DigestAlgorithm::RipeMD128)
        return LowerHexOf(MhashDigest(MHASH_RIPEMD128, content));
    if (const std::string command = ToolCommand(algorithm); !command.empty())
        return ToolHex(command, path);
    const int number = GcryptNumber(algorithm);
    return number ? LowerHexOf(GcryptDigest(number, content)) : std::string();
}

ComputedDigests OracleDigests(const std::string& path, DigestSet only)
{
    ComputedDigests computed;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        computed.FileMissing = true;
        return computed;
    }
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        if (!only.Has(info.Algorithm))
            continue;
        std::string hex = OracleFileHex(info.Algorithm, path);
        if (!hex.empty())
            computed.Set(info.Algorithm, hex);
    }
    return computed;
}

std::vector<std::string> AwkwardNames(bool forCoreutils)
{
    std::vector<std::string> names{"a b.txt", "bad\xff\xfe name", "paren (x) = y", "plain"};
    if (forCoreutils) {
        names.push_back("back\\slash");
        names.push_back(" leading blank");
        names.push_back("line\nfeed");
        names.push_back("carriage\rreturn");
    }
    return names;
}
