// Minimal PNG encoder (24-bit RGB, uncompressed deflate blocks) for test screenshots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds width * height * 3 bytes, top row first.
std::string EncodePng(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb);
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
