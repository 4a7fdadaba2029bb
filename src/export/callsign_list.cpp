#include "export/callsign_list.h"

// Placeholder until the writer lands.
namespace kelmora {
CallsignListFormatter::CallsignListFormatter(bool hasHeadingLine, StationSelection selection)
    : hasHeadingLine_(hasHeadingLine), selection_(selection) {}
void CallsignListFormatter::addLine(std::string_view, std::string&) {}
ExportResult writeCallsignList(const std::filesystem::path&, const std::filesystem::path&, bool,
                               StationSelection) {
    return {};
}
} // namespace kelmora
