#include "database/search_matcher.h"

// Placeholder until the block scanner lands.
namespace kelmora {
SearchPattern SearchPattern::fromUtf8(std::string_view text) { return {std::string(text), {}}; }
bool SearchPattern::matches(std::string_view) const { return false; }
ScanOutcome scanForHits(InputFile, const SearchPattern&, const HitHandler&) { return {}; }
ScanOutcome scanForHits(const std::filesystem::path&, const SearchPattern&, const HitHandler&) {
    return {};
}
} // namespace kelmora
