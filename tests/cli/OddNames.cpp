#include "tests/cli/OddNames.h"

#include <algorithm>
#include <random>

std::string RandomBytes(uint32_t seed, size_t size)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() & 0xFF);
    return bytes;
}

OddNamesFolder::OddNamesFolder(uint32_t seed)
{
    const std::vector<std::string> names{
        "plain.txt",
        "with blank",
        "  two leading blanks",
        "trailing blank ",
        "back\\slash",
        "two\\\\backslashes\\",
        "line\nfeed",
        "car\rreturn",
        "all\\of\nthem\r",
        "not utf-8 \xff\xfe",
        "gbk \xc4\xe3\xba\xc3",
        "utf-8 \xe4\xbd\xa0\xe5\xa5\xbd",
        "it's",
        "colon:name",
        "#hash",
        "-dash",
        "star*",
        "tab\there",
        "empty",
        "(paren) = x",
    };
    std::mt19937 random(seed);
    const size_t sizes[] = {0, 1, 55, 56, 63, 64, 65, 1000, 4096, 65535, 65537, (1u << 20) + 3};
    for (size_t i = 0; i < names.size(); ++i) {
        size_t size = names[i] == "empty" ? 0 : sizes[random() % std::size(sizes)];
        Write(names[i], RandomBytes(seed + static_cast<uint32_t>(i), size));
        names_.push_back(names[i]);
    }
    // Large enough for the engine's large-file path, where algorithms go to different threads.
    Write("large", RandomBytes(seed ^ 0x5a5a5a5a, (9u << 20) + 17));
    names_.push_back("large");
    std::sort(names_.begin(), names_.end());
}

std::vector<std::string> OddNamesFolder::NamesRhashKeeps() const
{
    std::vector<std::string> kept;
    for (const std::string& name : names_)
        if (name.find_first_of("\\\n\r") == std::string::npos)
            kept.push_back(name);
    return kept;
}

std::vector<std::string> OddNamesFolder::NamesSfvKeeps() const
{
    std::vector<std::string> kept;
    for (const std::string& name : NamesRhashKeeps())
        if (name.front() != ' ' && name.back() != ' ' && name.front() != '#')
            kept.push_back(name);
    return kept;
}
