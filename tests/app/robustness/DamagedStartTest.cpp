// The real program started over a damaged settings store, statistics or report definitions file
// or scenario
// (cut short, one bit flipped, empty, garbage, a folder in the file's place): it starts, uses
// the defaults, tells the user what it could not read, and keeps the damaged bytes for them.
#include <QApplication>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "persist/DocumentFolders.h"
#include "persist/ScenarioFile.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "platform/RegistryStore.h"
#include "query/StatisticsCatalog.h"
#include "report/ReportManager.h"
#include "report/TitleItem.h"
#include "tests/app/ProgramFixture.h"

namespace fs = std::filesystem;

namespace {

enum class Kind { Settings, Statistics, Definitions, Scenario };
enum class Damage { CutShort, BitFlipped, Empty, Garbage, Folder };

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Settings:
            return "settings store";
        case Kind::Statistics:
            return "statistics definitions";
        case Kind::Definitions:
            return "report definitions";
        case Kind::Scenario:
            break;
    }
    return "scenario";
}

const char* damageName(Damage damage) {
    switch (damage) {
        case Damage::CutShort:
            return "cut short";
        case Damage::BitFlipped:
            return "bit flipped";
        case Damage::Empty:
            return "empty";
        case Damage::Garbage:
            return "garbage";
        case Damage::Folder:
            break;
    }
    return "folder";
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

constexpr std::int32_t kStoredPageLimit = 40;
const std::string kOwnReport = "Weekly figures";
const std::string kOwnStatistic = "Scripts by host";

fs::path settingsFile() {
    return platform::RegistryStore::forHive(platform::RegistryHive::CurrentUser).file();
}

fs::path statisticsFile() {
    return persist::DocumentFolders::data() + query::StatisticsCatalog::kFileName;
}

fs::path definitionsFile() {
    return persist::DocumentFolders::data() + report::ReportManager::kFileName;
}

// Writes a complete file of the kind, as an earlier run would have left it; returns its path.
fs::path writeWhole(Kind kind, const QString& home) {
    switch (kind) {
        case Kind::Settings:
            persist::setting::kPageLimit.set(kStoredPageLimit);
            return settingsFile();
        case Kind::Statistics: {
            persist::DocumentFolders::createAll();
            query::StatisticsCatalog catalog;
            catalog.add(kOwnStatistic, "select Host, COUNT(Size) where Type = 'js' group by Host");
            catalog.save(statisticsFile().string());
            return statisticsFile();
        }
        case Kind::Definitions: {
            persist::DocumentFolders::createAll();
            report::ReportManager manager;
            manager.load(definitionsFile().string());  // the built-ins
            report::Report own(kOwnReport, "mine", manager.styles().begin()->first);
            own.append(std::make_unique<report::TitleItem>(kOwnReport, 1));
            manager.addReport(std::move(own));
            manager.save(definitionsFile().string());
            return definitionsFile();
        }
        case Kind::Scenario:
            break;
    }
    const fs::path path = (home + "/site.wsa").toStdString();
    persist::ScenarioFile::save(path.string(),
                                {{"http://127.0.0.1:1/", -1}, {"http://127.0.0.1:1/a.html", 0}});
    return path;
}

// The damaged bytes, or none for a folder. A flipped bit lands where every reader notices it:
// the settings store's closing line, the top byte of a binary file's first number.
void damage(const fs::path& path, Kind kind, Damage how) {
    std::string bytes = readBytes(path);
    switch (how) {
        case Damage::CutShort:
            bytes.resize(bytes.size() / 2);
            break;
        case Damage::BitFlipped:
            if (kind == Kind::Settings) {
                bytes[bytes.rfind("end")] ^= 1;
            } else {
                bytes[3] = static_cast<char>(bytes[3] ^ 0x80);
            }
            break;
        case Damage::Empty:
            bytes.clear();
            break;
        case Damage::Garbage:
            bytes =
                "\x7f"
                "ELF\x02\x01 not a file of ours \xff\xfe\x00\x01";
            break;
        case Damage::Folder:
            fs::remove(path);
            fs::create_directory(path);
            writeBytes(path / "inside", "kept");
            return;
    }
    writeBytes(path, bytes);
}

// What the damaged bytes became once the program has ended: the file still there, or a copy
// kept beside it.
bool bytesKept(const fs::path& path, const std::string& bytes, bool folder) {
    if (folder) return fs::is_directory(path) && readBytes(path / "inside") == "kept";
    if (fs::exists(path) && readBytes(path) == bytes) return true;
    for (const auto& entry : fs::directory_iterator(path.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(path.filename().string() + ".damaged") &&
            readBytes(entry.path()) == bytes)
            return true;
    }
    return false;
}

std::vector<std::string>& matrix() {
    static std::vector<std::string> rows;
    return rows;
}

}  // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Damage)

class DamagedStartTest : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() {
        std::printf("\n| case | expected | seen |\n|---|---|---|\n");
        for (const std::string& row : matrix()) std::printf("%s\n", row.c_str());
    }

    void startsWithTheDefaultsAndSaysSo_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Damage>("how");
        for (Kind kind : {Kind::Settings, Kind::Statistics, Kind::Definitions, Kind::Scenario}) {
            for (Damage how : {Damage::CutShort, Damage::BitFlipped, Damage::Empty, Damage::Garbage,
                               Damage::Folder}) {
                const QString name = QStringLiteral("%1, %2").arg(kindName(kind), damageName(how));
                QTest::newRow(qPrintable(name)) << kind << how;
            }
        }
    }

    void startsWithTheDefaultsAndSaysSo() {
        QFETCH(Kind, kind);
        QFETCH(Damage, how);
        apptest::ProgramHome home;
        const fs::path file = writeWhole(kind, home.path());
        damage(file, kind, how);
        const bool folder = how == Damage::Folder;
        const std::string damaged = folder ? std::string() : readBytes(file);
        // An empty settings store or definitions file held nothing that could be lost.
        const bool told = how != Damage::Empty || kind == Kind::Scenario;

        QStringList asked;
        {
            apptest::Answers answers;
            QStringList arguments{"pagelyst"};
            if (kind == Kind::Scenario) arguments << QString::fromStdString(file.string());
            apptest::Program program(arguments);
            QVERIFY(program.started);
            QVERIFY(program.window().isVisible());
            switch (kind) {
                case Kind::Settings:
                    QCOMPARE(persist::setting::kPageLimit.get(),
                             persist::setting::kPageLimit.defaultValue);
                    break;
                case Kind::Statistics:
                    QCOMPARE(program.context().statistics().definitions().size(),
                             query::StatisticsCatalog::builtIns().size());
                    break;
                case Kind::Definitions: {
                    report::ReportManager builtIns;
                    builtIns.load((home.path() + "/none").toStdString());
                    QCOMPARE(program.context().reports().reports().size(),
                             builtIns.reports().size());
                    break;
                }
                case Kind::Scenario:
                    QVERIFY(program.context().tree().displayOrder().empty());
                    QVERIFY(program.context().document().path().empty());
                    break;
            }
            apptest::flushEvents();
            asked = answers.asked;
        }
        const QString path = QString::fromStdString(file.string());
        if (told) {
            QVERIFY2(!asked.isEmpty(), "the damage was not reported");
            if (kind != Kind::Scenario) {
                QVERIFY2(asked.join('\n').contains(path), qPrintable(asked.join('|')));
            }
        }
        // After the end of the program the damaged bytes are still there for the user.
        if (folder || !damaged.empty()) {
            QVERIFY2(bytesKept(file, damaged, folder), "the damaged file is gone");
        }

        const QString expected = told ? "starts, defaults, message" : "starts, defaults";
        QString seen = "starts, defaults";
        if (!asked.isEmpty()) {
            seen += ", message \"" +
                    asked.front().section('\n', 0, 0).replace(home.path(), "HOME") + "\"";
        }
        matrix().push_back(QStringLiteral("| %1, %2 | %3 | %4 |")
                               .arg(kindName(kind), damageName(how), expected, seen)
                               .toStdString());
    }
};

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    DamagedStartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DamagedStartTest.moc"
