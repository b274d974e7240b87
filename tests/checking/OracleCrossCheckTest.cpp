// Whole passes checked against independent programs: rhash for the algorithms it shares with
// us, mhash for RIPEMD-128, libgcrypt for a file past 4 GiB.
#include "tests/checking/CheckerTestBed.h"

#include <gcrypt.h>
#include <mhash.h>

#include <cstdio>
#include <map>
#include <random>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Our display name -> the value, as a line gives it.
using Results = std::map<std::string, std::string>;

Results LinesByName(const std::vector<std::string>& lines)
{
    Results results;
    for (const std::string& line : lines) {
        const size_t colon = line.find("：");
        results[line.substr(0, colon)] = line.substr(colon + std::string("：").size());
    }
    return results;
}

// The CRC line has at least six digits, rhash always eight.
std::string EightDigits(const std::string& crc)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08lX", std::stoul(crc, nullptr, 16));
    return text;
}

// rhash's digests of a file, under our display names, uppercase like the engine lines.
Results Rhash(const std::string& path)
{
    static const std::vector<std::pair<std::string, std::string>> names{
        {"MD5", "md5"},        {"CRC32_FCS32", "crc32"},    {"SHA1", "sha1"},
        {"MD4", "md4"},        {"RipeMD-160", "ripemd160"}, {"SHA256", "sha-256"},
        {"SHA384", "sha-384"}, {"SHA512", "sha-512"},       {"Tiger192", "tiger"}};
    std::string format;
    for (const auto& [ours, theirs] : names)
        format += "%{" + theirs + "} ";
    const std::string command = "rhash --printf '" + format + "\\n' -- '" + path + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::string output;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    if (::pclose(pipe) != 0)
        return {};
    std::istringstream words(output);
    Results results;
    for (const auto& [ours, theirs] : names) {
        std::string value;
        if (!(words >> value))
            return {};
        std::transform(value.begin(), value.end(), value.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        results[ours] = value;
    }
    return results;
}

class OracleCrossCheck : public CheckerTestBed {};

}  // namespace

TEST_F(OracleCrossCheck, PassOverRandomFilesAgreesWithRhashAndMhash)
{
    std::mt19937_64 rng(20261209);
    std::vector<size_t> sizes{0, 1, 55, 56, 64, 119, 16383, 16384, 16385, 32768, 65520, 65521, 65522, 131042};
    for (int i = 0; i < 6; ++i)
        sizes.push_back(1 + rng() % 400000);
    std::vector<std::string> paths;
    std::vector<Bytes> contents;
    for (size_t i = 0; i < sizes.size(); ++i) {
        contents.push_back(RandomBytes(rng, sizes[i]));
        paths.push_back(dir.Write("random-" + std::to_string(i) + ".bin", contents.back()));
    }
    SelectAll();
    Drop(paths);
    Calculate();

    ASSERT_EQ(checker.Tree().RootCount(), paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i] + " of " + std::to_string(sizes[i]) + " bytes");
        ASSERT_EQ(Lines(i).size(), 11u);
        Results ours = LinesByName(Lines(i));
        const Results theirs = Rhash(paths[i]);
        ASSERT_EQ(theirs.size(), 9u) << "rhash did not run";
        // The MD5 path writes lowercase digits, every other line uppercase.
        EXPECT_EQ(ours["MD5"], Lower(theirs.at("MD5")));
        EXPECT_EQ(EightDigits(ours["CRC32_FCS32"]), theirs.at("CRC32_FCS32"));
        for (const auto& [name, value] : theirs)
            if (name != "MD5" && name != "CRC32_FCS32") {
                EXPECT_EQ(ours[name], value) << name;
            }
        EXPECT_EQ(ours["RipeMD-128"], Hex(MhashDigest(MHASH_RIPEMD128, contents[i])));
    }
}

TEST_F(OracleCrossCheck, SlowSparseFilePastFourGibibytesThroughAWholePass)
{
    const int64_t size = (int64_t{4} << 30) + 12345;
    const std::string path = dir / "sparse.bin";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);

    SelectOnly({HashItem::MD5, HashItem::CRC32_FCS32, HashItem::SHA1});
    Drop({path});
    EXPECT_EQ(checker.List().At(0).SizeText.substr(0, 7), "4194316");
    Calculate();

    gcry_md_hd_t zeros;
    ASSERT_EQ(gcry_md_open(&zeros, GCRY_MD_MD5, 0), 0);
    gcry_md_enable(zeros, GCRY_MD_SHA1);
    gcry_md_enable(zeros, GCRY_MD_CRC32);
    const std::vector<uint8_t> chunk(1 << 20, 0);
    for (int64_t left = size; left > 0; left -= static_cast<int64_t>(chunk.size()))
        gcry_md_write(zeros, chunk.data(), static_cast<size_t>(std::min<int64_t>(left, chunk.size())));
    auto digest = [&](int algorithm) {
        const uint8_t* bytes = gcry_md_read(zeros, algorithm);
        return Hex(Bytes(bytes, bytes + gcry_md_get_algo_dlen(algorithm)));
    };
    const std::string md5 = Lower(digest(GCRY_MD_MD5));
    const std::string crc = digest(GCRY_MD_CRC32);
    const std::string sha1 = digest(GCRY_MD_SHA1);
    gcry_md_close(zeros);

    ASSERT_EQ(Lines(0).size(), 3u);
    EXPECT_EQ(Lines(0)[0], "MD5：" + md5);
    EXPECT_EQ(EightDigits(LinesByName(Lines(0))["CRC32_FCS32"]), crc);
    EXPECT_EQ(Lines(0)[2], "SHA1：" + sha1);
}
