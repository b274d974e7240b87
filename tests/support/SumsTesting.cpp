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
    const int number = GcryptNumber(algorithm);
    return number ? LowerHexOf(GcryptDigest(number, content)) : std::string();
}

ComputedDigests OracleDigests(const std::string& path)
{
    ComputedDigests computed;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        computed.FileMissing = true;
        return computed;
    }
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
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
