// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Whole files as bytes. Each throws std::runtime_error when it fails.
namespace kelmora::testing {

void writeFile(const std::filesystem::path& path, std::string_view bytes);
void appendToFile(const std::filesystem::path& path, std::string_view bytes);
std::string readFile(const std::filesystem::path& path);

} // namespace kelmora::testing
