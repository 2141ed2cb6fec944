// Splits a fuzz input into the values a harness feeds to the code under test. Plain reads from
// the front of the bytes; an input that runs out gives zeros and empty texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// Ends the run as a fault, which the fuzzer keeps, when what a target checks does not hold.
inline void Require(bool holds) {
    if (!holds)
        std::abort();
}

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint32_t TakeU32() {
        uint32_t value = 0;
        for (int i = 0; i < 4 && m_pos < m_size; ++i)
            value |= static_cast<uint32_t>(m_data[m_pos++]) << (8 * i);
        return value;
    }
    // A text of up to `limit` bytes, its length given by the next byte.
    std::string TakeText(size_t limit = 255) {
        size_t length = m_pos < m_size ? m_data[m_pos++] : 0;
        if (length > limit)
            length = limit;
        if (length > m_size - m_pos)
            length = m_size - m_pos;
        std::string text(reinterpret_cast<const char*>(m_data + m_pos), length);
        m_pos += length;
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
