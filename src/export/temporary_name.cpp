// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/temporary_name.h"

#include "database/file_names.h"

#include <algorithm>
#include <chrono>
#include <string_view>

namespace kelmora::temporary_name {
namespace {

constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLetters = 6;

using Native = std::filesystem::path::string_type;

Native prefix(const std::filesystem::path& target) {
    return std::filesystem::path(".").native() + target.filename().native() +
           std::filesystem::path(".kelmora-").native();
}

} // namespace

std::filesystem::path next(const std::filesystem::path& target, std::minstd_rand& random) {
    Native name = prefix(target);
    for (std::size_t i = 0; i < kRandomLetters; ++i) {
        name.push_back(static_cast<Native::value_type>(kLetters[random() % kLetters.size()]));
    }
    return target.parent_path() / name;
}

std::filesystem::path pattern(const std::filesystem::path& target) {
    return target.parent_path() / (prefix(target) + std::filesystem::path("*").native());
}

bool isOf(const std::filesystem::path& fileName, const std::filesystem::path& target) {
    const Native& name = fileName.native();
    const Native start = prefix(target);
    if (name.size() != start.size() + kRandomLetters ||
        !file_names::same(file_names::NameView(name).substr(0, start.size()), start)) {
        return false;
    }
    return std::all_of(
        name.begin() + static_cast<std::ptrdiff_t>(start.size()), name.end(), [](auto c) {
            return c < 0x80 && kLetters.find(static_cast<char>(c)) != std::string_view::npos;
        });
}

std::minstd_rand randomNames() {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::minstd_rand(static_cast<unsigned>(device() ^ static_cast<unsigned>(now)));
}

} // namespace kelmora::temporary_name
