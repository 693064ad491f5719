// Every export of the desktop program and the scenario save, made to a disk that is full (a
// small tmpfs filled up; mounting one needs root, the suite is skipped otherwise): the user is
// told, the message names the cause, and the earlier file of that name is left as it was with
// nothing left beside it.
#include <sys/mount.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/reports/CReportDlg.h"
#include "app/reports/ReportsRegistration.h"
#include "app/statistics/CStatisticsDlg.h"
#include "app/statistics/StatisticsRegistration.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/WebEngineSetup.h"
#include "tests/app/ProgramFixture.h"
#include "tests/app/SmallSite.h"

using app::CommandId;

namespace {

const QByteArray kPrevious = "the earlier file, complete\n";

struct ExportCase {
    const char* name;
    const char* file;
    // Makes the view current and runs the command that writes the chosen path.
    std::function<void(apptest::Program&)> run;
};

void inStatistics(apptest::Program& program, CommandId command) {
    program.window().runCommand(CommandId::ViewStatistics);
    auto& view = *dynamic_cast<app::CStatisticsDlg*>(program.mainView().view(app::statisticsKey()));
    view.chooseDefinition(program.context().statistics().findByTitle("Size By Host")->id);
    program.window().updateCommands();
    program.window().runCommand(command);
}

app::CReportDlg& reportsView(apptest::Program& program) {
    program.window().runCommand(CommandId::ViewReports);
    auto& view = *dynamic_cast<app::CReportDlg*>(program.mainView().view(app::reportsKey()));
    for (const auto& [id, stored] : program.context().reports().reports()) {
        if (stored.name() == "General") view.chooseReport(id);
    }
    program.window().updateCommands();
    return view;
}

const std::vector<ExportCase>& cases() {
    static const std::vector<ExportCase> all{
        {"CSV export", "hosts.csv",
         [](apptest::Program& p) { inStatistics(p, CommandId::Export); }},
        {"HTML export", "report.html",
         [](apptest::Program& p) {
             reportsView(p);
             p.window().runCommand(CommandId::Export);
         }},
        {"PDF export", "report.pdf",
         [](apptest::Program& p) {
             app::CReportDlg& view = reportsView(p);
             QSignalSpy done(&view, &app::CReportDlg::pdfExported);
             p.window().runCommand(CommandId::ExportPdf);
             QVERIFY(done.count() == 1 || done.wait(60000));
         }},
        {"HAR export", "pages.har",
         [](apptest::Program& p) { p.window().runCommand(CommandId::ExportHar); }},
        {"scenario save", "site.wsa",
         [](apptest::Program& p) { p.window().runCommand(CommandId::SaveScenario); }},
    };
    return all;
}

std::vector<std::string>& matrix() {
    static std::vector<std::string> rows;
    return rows;
}

}  // namespace

class FullDiskTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(disk_.isValid());
        const QByteArray where = QFile::encodeName(disk_.path());
        if (::mount("tmpfs", where.constData(), "tmpfs", 0, "size=256k") != 0) {
            QSKIP(qPrintable(QStringLiteral("no small disk to fill: mounting a tmpfs failed (%1)")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        }
        mounted_ = true;
        apptest::serveSmallSite(server_);
        QVERIFY(program_.started);
        QVERIFY(program_.analyze(QString::fromStdString(server_.url("/"))));
        program_.siteTree().selectNode(program_.context().tree().displayOrder().front());
        program_.window().updateCommands();
    }

    void cleanupTestCase() {
        app::setPathChooser({});
        if (mounted_) ::umount2(QFile::encodeName(disk_.path()).constData(), MNT_DETACH);
        std::printf("\n| case | expected | seen |\n|---|---|---|\n");
        for (const std::string& row : matrix()) std::printf("%s\n", row.c_str());
    }

    void cleanup() {
        QDir folder(disk_.path());
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
            folder.remove(name);
    }

    void saysSoAndKeepsTheEarlierFile_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < cases().size(); ++i)
            QTest::newRow(cases()[i].name) << static_cast<int>(i);
    }

    void saysSoAndKeepsTheEarlierFile() {
        QFETCH(int, index);
        const ExportCase& target = cases()[static_cast<std::size_t>(index)];
        const QString path = QDir(disk_.path()).filePath(QString::fromLatin1(target.file));
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            QCOMPARE(earlier.write(kPrevious), kPrevious.size());
        }
        fillTheDisk();

        apptest::Answers answers;
        app::setPathChooser([&](const QString&) { return path; });
        target.run(program_);
        app::setPathChooser({});

        QVERIFY2(answers.asked.size() == 1, qPrintable(answers.asked.join('|')));
        const QString told = answers.asked.front();
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), kPrevious);
        QCOMPARE(QDir(disk_.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"filler", QString::fromLatin1(target.file)}));

        const QString cause = QString::fromLocal8Bit(std::strerror(ENOSPC));
        const QString oneLine = QString(told).replace('\n', ' ').replace(disk_.path(), "DISK");
        matrix().push_back(
            QStringLiteral("| %1, disk full | message naming \"%2\"; earlier file kept | "
                           "message \"%3\"; earlier file kept |")
                .arg(QString::fromLatin1(target.name), cause, oneLine)
                .toStdString());
        QVERIFY2(told.contains(cause), qPrintable(told));
    }

private:
    // Writes a filler file until the disk takes no more.
    void fillTheDisk() {
        QFile filler(QDir(disk_.path()).filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        QFile probe(QDir(disk_.path()).filePath("probe"));
        QVERIFY(probe.open(QIODevice::WriteOnly));
        QVERIFY(!(probe.write(block) == block.size() && probe.flush()));
        probe.close();
        probe.remove();
    }

    apptest::ProgramHome home_;
    support::TestServer server_;
    apptest::Program program_;
    QTemporaryDir disk_;
    bool mounted_ = false;
};

int main(int argc, char** argv) {
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    FullDiskTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FullDiskTest.moc"
