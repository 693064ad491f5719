// Performs one save of one kind of file, or checks what saves left behind; interrupted-saves.sh
// runs the saves under injected write, fsync and rename faults and under kill -9.
//
//   save_driver save KIND PATH GENERATION   saves generation 1 or 2 of KIND's content at PATH;
//                                           exit 0, or 1 with the error on stderr
//   save_driver check KIND PATH             prints the generation PATH holds (exit 0), or
//                                           "torn" when it is neither complete one (exit 1)
//
// KIND is statistics, report, scenario, settings, csv, html or har. For settings, PATH is the
// store file that PAGELYST_HOME names. With SAVE_DRIVER_PIDFILE set, the process id is written
// there before the save starts.
#include <unistd.h>

#include <Archive>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "export/OutputFile.h"
#include "persist/ScenarioFile.h"
#include "persist/SettingsStore.h"
#include "platform/RegistryStore.h"
#include "platform/RegistryText.h"
#include "query/StatisticsCatalog.h"
#include "report/HtmlTextItem.h"
#include "report/ReportManager.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string tag(int generation) {
    return "generation " + std::to_string(generation);
}

// The built-in definitions and one of the generation's own.
query::StatisticsCatalog catalogue(int generation) {
    query::StatisticsCatalog catalog;
    catalog.add(tag(generation), "select URL, Size where Size > " + std::to_string(generation));
    return catalog;
}

std::string catalogueBytes(int generation) {
    xlib::MemoryOutputStream out;
    xlib::Archive archive(out);
    query::StatisticsCatalog catalog = catalogue(generation);
    catalog.serialize(true, archive);
    return out.bytes();
}

// A style set and two reports of the generation's own.
void fillReports(report::ReportManager& manager, int generation) {
    manager.clear();
    report::ReportStyle style(tag(generation));
    style.insertClass("bodystyle", "background:#eee");
    style.insertClass("note", "color:red");
    const std::int32_t styleId = manager.addStyle(std::move(style));
    for (int i = 0; i < 2; ++i) {
        report::Report mine(tag(generation), "report " + std::to_string(i), styleId);
        mine.append(std::make_unique<report::TitleItem>(tag(generation), 1));
        mine.append(std::make_unique<report::TableItem>("select Host, COUNT(URL) group by Host"));
        mine.append(std::make_unique<report::HtmlTextItem>("<p>" + tag(generation) + "</p>"));
        manager.addReport(std::move(mine));
    }
}

std::string reportBytes(int generation) {
    report::ReportManager manager;
    fillReports(manager, generation);
    xlib::MemoryOutputStream out;
    manager.save(out);
    return out.bytes();
}

persist::Scenario scenario(int generation) {
    const std::string site = "http://g" + std::to_string(generation) + ".example/";
    persist::Scenario pages;
    pages.push_back({site, -1});
    for (int i = 0; i < 4; ++i) {
        pages.push_back({site + "section" + std::to_string(i) + "/", 0});
        const int section = static_cast<int>(pages.size()) - 1;
        pages.push_back({site + "section" + std::to_string(i) + "/page.html", section});
    }
    return pages;
}

std::string scenarioBytes(int generation) {
    xlib::MemoryOutputStream out;
    xlib::Archive archive(out);
    persist::ScenarioFile::write(archive, scenario(generation));
    return out.bytes();
}

// Exports of the size real pages give: a few hundred rows, a report page, a HAR log.
std::string exportText(const std::string& kind, int generation) {
    std::string text;
    if (kind == "csv") {
        text = "\"URL\",\"Size\",\"Time\"\r\n";
        for (int i = 0; i < 400; ++i)
            text += "\"http://g" + std::to_string(generation) + ".example/img/" +
                    std::to_string(i) + ".gif\"," + std::to_string(i * 37) + ",0.25\r\n";
    } else if (kind == "html") {
        text = "<html><head><title>" + tag(generation) + "</title></head><body><table>\n";
        for (int i = 0; i < 400; ++i)
            text += "<tr><td>" + std::to_string(i) + "</td><td>" + tag(generation) + "</td></tr>\n";
        text += "</table></body></html>\n";
    } else {
        text = "{\"log\":{\"version\":\"1.2\",\"creator\":{\"name\":\"" + tag(generation) +
               "\"},\"entries\":[";
        for (int i = 0; i < 800; ++i)
            text += std::string(i ? "," : "") + "{\"request\":{\"url\":\"http://g" +
                    std::to_string(generation) + ".example/" + std::to_string(i) +
                    "\"},\"time\":12.5}";
        text += "]}}\n";
    }
    return text;
}

const std::string kSettingsSection = "Save Driver";

bool isExport(const std::string& kind) {
    return kind == "csv" || kind == "html" || kind == "har";
}

// Returns the exit status; errors go to stderr.
int save(const std::string& kind, const std::string& path, int generation) {
    bool saved = false;
    std::string error;
    if (kind == "statistics") {
        saved = catalogue(generation).save(path);
    } else if (kind == "report") {
        report::ReportManager manager;
        fillReports(manager, generation);
        saved = manager.save(path);
    } else if (kind == "scenario") {
        saved = persist::ScenarioFile::save(path, scenario(generation));
    } else if (kind == "settings") {
        // The first generation makes the store; the second changes one value in it.
        saved = true;
        if (generation == 1) {
            saved = persist::writeIntValue(kSettingsSection, "PageLimit", 150) &&
                    persist::writeStringValue(kSettingsSection, "ProxyServer", "proxy:3128");
        }
        saved = saved && persist::writeStringValue(kSettingsSection, "Marker", tag(generation));
    } else if (isExport(kind)) {
        saved = exporting::saveText(path, exportText(kind, generation), error);
    } else {
        std::cerr << "save_driver: unknown kind " << kind << "\n";
        return kUsage;
    }
    if (saved) return 0;
    std::cerr << "save_driver: " << kind << " not saved: " << (error.empty() ? path : error)
              << "\n";
    return kFailed;
}

// The generation whose complete content `path` holds, checked byte for byte and by loading it
// the way the program does; nothing for a torn or foreign file.
std::optional<int> generationOf(const std::string& kind, const std::string& path) {
    const std::string bytes = readBytes(path);
    for (int generation : {1, 2}) {
        bool matches = false;
        if (kind == "statistics") {
            query::StatisticsCatalog catalog;
            matches = bytes == catalogueBytes(generation) && catalog.load(path) &&
                      catalog.definitions() == catalogue(generation).definitions();
        } else if (kind == "report") {
            report::ReportManager manager;
            matches = bytes == reportBytes(generation) && manager.load(path) &&
                      manager.reports().rbegin()->second.name() == tag(generation);
        } else if (kind == "scenario") {
            matches = bytes == scenarioBytes(generation) &&
                      persist::ScenarioFile::load(path) == scenario(generation);
        } else if (kind == "settings") {
            // Parsed first: reading a damaged store through the settings would move it aside.
            matches = platform::parseRegistryText(bytes).has_value() &&
                      persist::readIntValue(kSettingsSection, "PageLimit") == 150 &&
                      persist::readStringValue(kSettingsSection, "ProxyServer") == "proxy:3128" &&
                      persist::readStringValue(kSettingsSection, "Marker") == tag(generation);
        } else {
            matches = bytes == exportText(kind, generation);
        }
        if (matches) return generation;
    }
    return std::nullopt;
}

int usage() {
    std::cerr << "usage: save_driver save KIND PATH GENERATION | save_driver check KIND PATH\n";
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    const std::string command = argv[1];
    const std::string kind = argv[2];
    const std::string path = argv[3];
    if (kind == "settings" &&
        platform::RegistryStore::forHive(platform::RegistryHive::CurrentUser).file() != path) {
        std::cerr << "save_driver: PAGELYST_HOME does not name the store " << path << "\n";
        return kUsage;
    }
    if (command == "save" && argc == 5) {
        const int generation = std::atoi(argv[4]);
        if (generation != 1 && generation != 2) return usage();
        if (const char* pidFile = std::getenv("SAVE_DRIVER_PIDFILE")) {
            std::ofstream(pidFile) << ::getpid() << "\n";
        }
        return save(kind, path, generation);
    }
    if (command == "check" && argc == 4) {
        const auto generation = generationOf(kind, path);
        if (!generation) {
            std::cout << "torn\n";
            return kFailed;
        }
        std::cout << *generation << "\n";
        return 0;
    }
    return usage();
}
