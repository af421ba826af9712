#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

// Helpers shared by the fuzz targets. Each target defines
// LLVMFuzzerTestOneInput (and may define LLVMFuzzerInitialize); the same
// source is linked either with libFuzzer or with ReplayMain.cpp.

// A property every input must keep. Aborting makes the fuzzer keep the input
// as a crash, and makes the corpus replay fail.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

namespace fuzz {

// Cuts a fuzzer input into texts. The pieces in front are NUL-terminated so
// that seed files stay readable ("1\0Last trade\0>\0:\0<page>"); the last
// piece takes whatever is left, NUL bytes included.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(reinterpret_cast<const char*>(data)), m_size(size)
    {
    }

    // The bytes up to the next NUL (which is dropped), or all that is left.
    std::string TakeText()
    {
        const void* nul = m_size ? std::memchr(m_data, '\0', m_size) : nullptr;
        const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - m_data) : m_size;
        std::string text(m_data, length);
        const std::size_t consumed = nul ? length + 1 : length;
        m_data += consumed;
        m_size -= consumed;
        return text;
    }

    // Everything not taken yet.
    std::string TakeRest()
    {
        std::string text(m_data, m_size);
        m_data += m_size;
        m_size = 0;
        return text;
    }

private:
    const char* m_data;
    std::size_t m_size;
};

// Pins the time zone, so that a page's trade time maps to the same instant
// on every machine and every replay: New York, or the zone a test run names
// in QUORELLE_TEST_TZ (the corpus replays run under several).
inline void PinTimeZone()
{
    const char* named = std::getenv("QUORELLE_TEST_TZ");
    setenv("TZ", named && *named ? named : "America/New_York", 1);
    tzset();
}

}  // namespace fuzz
