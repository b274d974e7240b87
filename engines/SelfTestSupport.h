// Runs published test messages through a fresh engine for the engines' SelfTest.
#pragma once

#include "common/Hex.h"
#include "engines/DCPcrypt2.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

struct PublishedDigest {
    const char* message;
    const char* hexDigest;  // uppercase
};

template <class Engine>
bool SelfTestDigests(std::initializer_list<PublishedDigest> cases)
{
    for (const PublishedDigest& c : cases) {
        Engine engine;
        std::vector<uint8_t> digest(Engine::GetHashSize() / 8);
        std::string message(c.message);
        engine.Init();
        engine.Update(message.data(), static_cast<uint32_t>(message.size()));
        engine.Final(digest.data());
        if (DigestToHex(digest.data(), digest.size()) != c.hexDigest)
            return false;
    }
    return true;
}
