// Whole-file reads for the loaders, which decode from memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class FileRead { kOk, kCannotOpen, kReadError };

// Reads all of `path` into `bytes` (replacing its contents). On a read error
// `bytes` holds what arrived before it.
FileRead readFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
