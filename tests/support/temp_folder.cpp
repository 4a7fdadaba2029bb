// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/temp_folder.h"

#include "support/file_bytes.h"

#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace kelmora::testing {

TempFolder::TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const std::filesystem::path parent = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate = parent / ("kelmora-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder in " + parent.string());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Tests may take the permissions away; the folder must go all the same.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempFolder::write(std::string_view name, std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    writeFile(file, bytes);
    return file;
}

} // namespace kelmora::testing
