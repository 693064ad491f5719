#include "report/AnalysisHint.h"

#include <map>

#include "query/DisplayFormats.h"
#include "query/TextCase.h"
#include "report/HtmlEscape.h"
#include "report/TextFormat.h"

namespace report {
namespace {

using engine::ContentKind;

double share(double part, double whole) {
    return whole > 0 ? part / whole : 0;
}

class ErrorsHint final : public AnalysisHint {
public:
    PageClass evaluate(const AnalysisPage& page, std::string& text) const override {
        std::string lines;
        for (const AnalysisItem& item : page.items) {
            if (item.loadPhase() != engine::LoadPhase::Error) continue;
            lines += format("<b>URL: </b><a href=\"%s\">%s </a><BR>",
                            escapeHtml(item.urlText).c_str(), escapeHtml(item.objectPath).c_str());
        }
        if (lines.empty()) {
            text = "Web Page was downloaded successfully.";
            return 1;
        }
        text = "Web Page contains error(s):<BR>" + lines;
        return 6;
    }
    std::string title() const override { return "Errors"; }
    std::optional<std::string> advice() const override { return std::nullopt; }
};

class ImagesHint final : public AnalysisHint {
public:
    PageClass evaluate(const AnalysisPage& page, std::string& text) const override {
        std::uint64_t total = 0, imageSize = 0, flashSize = 0;
        int images = 0, flashes = 0;
        for (const AnalysisItem& item : page.items) {
            total += item.size;
            if (isImage(item)) {
                ++images;
                imageSize += item.size;
            } else if (item.kind() == ContentKind::Flash) {
                ++flashes;
                flashSize += item.size;
            }
        }
        text.clear();
        if (total == 0) return 0;
        const double part =
            share(double(flashSize), double(total)) + share(double(imageSize), double(total));
        text = describe(images, imageSize, flashes, flashSize, part);
        return std::max(1, baseClass(part) - allowance(total));
    }
    std::string title() const override { return "Images and Flash Applications"; }
    std::optional<std::string> advice() const override {
        return "Consider reducing the number of images and flash movies or reuse the same "
               "images in multiple pages to take advantage of caching.";
    }

private:
    static bool isImage(const AnalysisItem& item) {
        switch (item.kind()) {
            case ContentKind::Gif:
            case ContentKind::Jpeg:
            case ContentKind::ProgressiveJpeg:
            case ContentKind::XBitmap:
                return true;
            default:
                break;
        }
        return item.kind() == ContentKind::Unknown &&
               query::toLower(item.contentType).find("image") != std::string::npos;
    }
    static int allowance(std::uint64_t total) {
        return total < 51200 ? 3 : total < 102400 ? 2 : total < 153600 ? 1 : 0;
    }
    static int baseClass(double part) {
        return part < 0.2   ? 1
               : part < 0.4 ? 2
               : part < 0.6 ? 3
               : part < 0.7 ? 4
               : part < 0.9 ? 5
                            : 6;
    }
    static std::string describe(int images, std::uint64_t imageSize, int flashes,
                                std::uint64_t flashSize, double part) {
        const auto size = [](std::uint64_t bytes) {
            return query::formatSize(
                static_cast<std::int32_t>(std::min<std::uint64_t>(bytes, INT32_MAX)));
        };
        const std::string percent = query::formatPercent(part);
        if (images == 0 && flashes == 0) return "Web Page contains no images and flash documents.";
        if (flashes == 0)
            return format("Web Page contains %d images (%s) that take %s of the total page size.",
                          images, size(imageSize).c_str(), percent.c_str());
        if (images == 0)
            return format(
                "Web Page contains %d flash documents (%s) that take %s of the total page size.",
                flashes, size(flashSize).c_str(), percent.c_str());
        return format(
            "Web Page contains %d images (%s) and %d flash movies (%s) that take %s of the total "
            "page size.",
            images, size(imageSize).c_str(), flashes, size(flashSize).c_str(), percent.c_str());
    }
};

class HostsHint final : public AnalysisHint {
public:
    PageClass evaluate(const AnalysisPage& page, std::string& text) const override {
        std::string own;
        for (const AnalysisItem& item : page.items)
            if (own.empty()) own = query::toLower(item.host);
        const std::string ownSuffix = siteSuffix(own);

        struct Group {
            int count = 0;
            std::uint64_t size = 0;
        };
        std::map<std::string, Group> groups;  // byte-wise key order
        std::uint64_t totalSize = 0;
        for (const AnalysisItem& item : page.items) {
            const std::string host = query::toLower(item.host);
            Group& group = groups[siteSuffix(host) == ownSuffix ? own : host];
            ++group.count;
            group.size += item.size;
            totalSize += item.size;
        }
        const Group ownGroup = groups[own];
        const int n = static_cast<int>(page.items.size());
        if (ownGroup.count == n) {
            text = "All page elementes are located on original host.";
            return 1;
        }
        const double x = share(double(totalSize - ownGroup.size), double(totalSize));
        text = format(
            "Web Page contains %d elements from external hosts that take %s of total size:<BR>",
            n - ownGroup.count, query::formatPercent(x).c_str());
        for (const auto& [host, group] : groups) {
            if (host == own) continue;
            const std::string safe = escapeHtml(host);
            text += format(
                "<B>Host:</B> <a href=\"http://%s\">%s</a><BR><B>Elements:</b> %d<BR><b>Size:</b> "
                "%s<BR><BR>",
                safe.c_str(), safe.c_str(), group.count,
                query::formatSize(
                    static_cast<std::int32_t>(std::min<std::uint64_t>(group.size, INT32_MAX)))
                    .c_str());
        }
        return x > 0.8 ? 5 : x > 0.6 ? 4 : x > 0.3 ? 3 : 2;
    }
    std::string title() const override { return "Hosts"; }
    std::optional<std::string> advice() const override {
        return "Consider not using resources from external hosts.";
    }
};

class HtmlSizeHint final : public AnalysisHint {
public:
    PageClass evaluate(const AnalysisPage& page, std::string& text) const override {
        std::uint64_t s = 0;
        for (const AnalysisItem& item : page.items)
            if (item.kind() == ContentKind::Html) s += item.size;
        text.clear();
        if (s == 0) return 0;
        if (s < 2048) {
            text = "Web Page HTML size is less than 2KB";
            return 1;
        }
        const std::string size =
            query::formatSize(static_cast<std::int32_t>(std::min<std::uint64_t>(s, INT32_MAX)));
        if (s < 40960) {
            text = format("Web Page HTML size is %s.", size.c_str());
            return s < 10240 ? 1 : s < 20480 ? 2 : 3;
        }
        text = format(
            "Web Page HTML size is %s that will take more than %d seconds to download on 56K "
            "connection.",
            size.c_str(), static_cast<int>(s / 7000));
        return s < 61440 ? 4 : s < 153600 ? 5 : 6;
    }
    std::string title() const override { return "HTML Size"; }
    std::optional<std::string> advice() const override {
        return "Consider reducing the HTML size to 30KB by optimizing your HTML and eliminating "
               "unnecessary features.";
    }
};

class SlowElementsHint final : public AnalysisHint {
public:
    PageClass evaluate(const AnalysisPage& page, std::string& text) const override {
        const std::uint32_t t = page.pageTime[0];
        const auto n = static_cast<std::uint32_t>(page.itemCount);
        text.clear();
        if (t == 0 || n == 0) return 0;
        const std::uint64_t limit = 2 * std::uint64_t{t} / n;
        std::uint64_t slowTime = 0;
        std::string lines;
        int count = 0;
        for (const AnalysisItem& item : page.items) {
            if (item.totalTime <= limit || item.kind() == ContentKind::Html) continue;
            ++count;
            slowTime += item.totalTime;
            lines += format("<b>URL:</b> <a href=\"%s\"> %s </a><BR><b>Time: </b>%s<BR><BR>",
                            escapeHtml(item.urlText).c_str(), escapeHtml(item.objectPath).c_str(),
                            query::formatTime(static_cast<std::int32_t>(item.totalTime)).c_str());
        }
        const double x = double(slowTime) / t;
        if (count == 0) {
            text = "All Web Page elements were downloaded with no lags.";
        } else {
            text = format(
                "The following %d Web Page element(s) consumed %s (%s) of the total download "
                "time:<BR>",
                count, query::formatPercent(x).c_str(),
                query::formatTime(
                    static_cast<std::int32_t>(std::min<std::uint64_t>(slowTime, INT32_MAX)))
                    .c_str());
            text += lines;
        }
        return x > 0.8 ? 6 : x > 0.6 ? 5 : x > 0.5 ? 4 : x > 0.3 ? 3 : x > 0.2 ? 2 : 1;
    }
    std::string title() const override { return "Slow Elements"; }
    std::optional<std::string> advice() const override {
        return "Retry page analysis and if the problem persists consider eliminating or "
               "replacing these elements.";
    }
};

class PageSizeHint final : public AnalysisHint {
public:
    PageClass evaluate(const AnalysisPage& page, std::string& text) const override {
        const std::uint32_t s = page.size;
        text.clear();
        if (s == 0) return 0;
        if (s < 5120) {
            text = "Web Page size is less than 5KB";
            return 1;
        }
        if (s >= 256000) {
            text = "Web Page size is more than 250KB";
            return 6;
        }
        static constexpr std::uint32_t kSteps[] = {5120, 20480, 51200, 102400, 153600, 256000};
        static constexpr PageClass kClasses[] = {1, 2, 3, 4, 5};
        int step = 0;
        while (s >= kSteps[step + 1]) ++step;
        text = format("Web Page size is more than %s but less than %s.",
                      query::formatSize(static_cast<std::int32_t>(kSteps[step])).c_str(),
                      query::formatSize(static_cast<std::int32_t>(kSteps[step + 1])).c_str());
        return kClasses[step];
    }
    std::string title() const override { return "Page Size"; }
    std::optional<std::string> advice() const override {
        return "Consider reducing page size to 100KB by reducing the number of images, "
               "optimizing HTML and eliminating unnecessary features.";
    }
};

}  // namespace

const std::vector<const AnalysisHint*>& AnalysisHint::all() {
    static const ErrorsHint errors;
    static const ImagesHint images;
    static const HostsHint hosts;
    static const HtmlSizeHint htmlSize;
    static const SlowElementsHint slow;
    static const PageSizeHint pageSize;
    static const std::vector<const AnalysisHint*> hints{&errors,   &images, &hosts,
                                                        &htmlSize, &slow,   &pageSize};
    return hints;
}

std::string siteSuffix(const std::string& host) {
    const std::size_t last = host.rfind('.');
    std::size_t from = std::string::npos;
    if (last != std::string::npos) from = host.size() - last + 1;
    std::size_t j = host.rfind('.', from);
    if (j == std::string::npos) j = 0;
    return host.substr(j);
}

}  // namespace report
