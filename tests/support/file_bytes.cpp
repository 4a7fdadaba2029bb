// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/file_bytes.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kelmora::testing {
namespace {

void put(const std::filesystem::path& path, std::string_view bytes, std::ios::openmode mode) {
    std::ofstream out(path, std::ios::binary | mode);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    put(path, bytes, std::ios::trunc);
}

void appendToFile(const std::filesystem::path& path, std::string_view bytes) {
    put(path, bytes, std::ios::app);
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace kelmora::testing
