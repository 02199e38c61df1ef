#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Takes the next value of type T from the fuzzer's bytes; bytes past the end read as zero.
template <class T>
T Take(const std::uint8_t*& data, std::size_t& size) {
    T value{};
    const std::size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}
