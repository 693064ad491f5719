#include "report/DamagedDefinitions.h"

#include <filesystem>
#include <system_error>

#include <Archive>

#include "report/ReportManager.h"
#include "xlib/FileStream.h"

namespace report {

std::optional<DamagedDefinitions> inspectDefinitions(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0) return std::nullopt;
    xlib::FileStream file;
    if (!file.open(path, xlib::FileStream::Disposition::OpenExisting,
                   xlib::FileStream::Access::Read))
        return std::nullopt;
    // The reader leaves in the manager whatever it read before it met the damage.
    ReportManager probe;
    DamagedDefinitions damage;
    try {
        xlib::Archive archive(file.input());
        probe.serialize(false, archive);
        return std::nullopt;
    } catch (const xlib::Exception& failure) {
        damage.cause = failure.message();
    }
    for (const auto& [id, report] : probe.reports()) damage.reports.push_back(report.name());
    for (const auto& [id, style] : probe.styles()) damage.styles.push_back(style.name());
    return damage;
}

}  // namespace report
