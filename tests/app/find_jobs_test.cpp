#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <atomic>
#include <cstdio>

#include "find_commands.h"
#include "find_setup_dlg.h"
#include "image_loading.h"
#include "job_controller.h"
#include "job_test_kit.h"
#include "main_ids.h"
#include "photo_writers.h"

namespace {

const QString kOneMatchOfFive =
    "Finished: 1 matching pairs from 5 total image files. Ready to 'View Dups.log";

QByteArray readAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const std::string& path, const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool writePhoto(const std::string& path, const std::string& bytes) {
    return writeBytes(path, QByteArray::fromStdString(bytes));
}

// Smooth, so that a JPEG copy turned by an editor stays close to the original.
QImage photo(QColor from, QColor to) {
    return GradientImage(160, 120, from, to);
}

// The log holds a record pairing the two files, in this order.
bool logPairs(const QByteArray& log, const std::string& first, const std::string& second) {
    const QByteArray pair = QByteArray("Image 1 path: ") + first.c_str() +
                            "\r\nImage 2 path: " + second.c_str() + "\r\n";
    return log.contains(pair);
}

}  // namespace

class FindJobsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<JobWindowFixture> m_fx;
    std::unique_ptr<QObject> m_pollers;
    std::vector<std::string> m_images;

    std::unique_ptr<CMainDlg> windowWithPrimary() {
        return m_fx->windowWithOneCopy(m_pollers.get(), m_images);
    }

    static void setBounds(CMainDlg& dlg, const QString& lower, const QString& upper) {
        control<QLineEdit>(&dlg, MainId::LowerBound)->setText(lower);
        control<QLineEdit>(&dlg, MainId::UpperBound)->setText(upper);
    }

    static QString dataState(CMainDlg& dlg) {
        auto* line = control<QLabel>(&dlg, MainId::DataState);
        return line->isVisible() ? line->text() : QString();
    }

  private slots:
    void init() {
        m_fx = std::make_unique<JobWindowFixture>();
        m_pollers = std::make_unique<QObject>();
    }

    void cleanup() {
        m_pollers.reset();
        m_fx.reset();
    }

    void findRunWritesTheLogAndShowsTheFinishText() {
        auto dlg = windowWithPrimary();
        QCOMPARE(dlg->run().primary().count(), 5);
        QVERIFY(control<QPushButton>(dlg.get(), MainId::FindDups)->isEnabled());
        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::FindDups), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dataState(*dlg), kOneMatchOfFive, 20000);
        const QByteArray log = readAll(m_fx->path("logs/Dups.log"));
        QVERIFY(logPairs(log, m_images[1], m_images[4]) || logPairs(log, m_images[4], m_images[1]));
        QVERIFY(log.contains("; Consider a duplicate if match is between 98.0% and 100.0%\r\n"));
        QVERIFY(log.endsWith("END\r\n"));
        for (int id : {MainId::JobTotal, MainId::JobCounter, MainId::JobDetail}) {
            QVERIFY(textOf(dlg.get(), id).isEmpty());
        }
        QVERIFY(!control<QProgressBar>(dlg.get(), MainId::Progress)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::Abort)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), MainId::FindDups)->isEnabled());
        QVERIFY(control<QWidget>(dlg.get(), MainId::ModeSecondaryToPrimary)->isEnabled());
        QCOMPARE(dlg->currentPage(), 2);

        // With "Show 'View Dups'" the window goes on to the pairs.
        dlg->run().settings().m_bAutoView = 1;
        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::FindDups), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dlg->currentPage(), 3, 20000);
        QVERIFY(!dlg->jobs().isRunning());
    }

    void abortKeepsTheOldLogAndCorrectsTheBand() {
        auto dlg = windowWithPrimary();
        const std::string logPath = m_fx->path("logs/Dups.log");
        QVERIFY(writeBytes(logPath, "an older log"));

        StopGate gate;
        gate.watch(&dlg->jobs().progress());
        std::atomic<int> runs{0};
        std::atomic<int> low{0};
        std::atomic<int> high{0};
        dlg->findCommands().setRunner([&](const FindRunInput& input, JobProgress& progress) {
            ++runs;
            low = input.low;
            high = input.high;
            gate.pass();
            return progress.stopRequested() ? FindRunResult{} : RunFindDups(input, progress);
        });

        setBounds(*dlg, "70", "101");
        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::FindDups), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(gate.waiting(), 1, 5000);
        QCOMPARE(textOf(dlg.get(), MainId::LowerBound), QString("75"));
        QCOMPARE(textOf(dlg.get(), MainId::UpperBound), QString("100"));
        QCOMPARE(low.load(), 750);
        QCOMPARE(high.load(), 1000);
        QCOMPARE(textOf(dlg.get(), MainId::JobTotal), QString("Total:  5"));
        QVERIFY(control<QProgressBar>(dlg.get(), MainId::Progress)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::FindDups)->isEnabled());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::FindHint)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::ModeWithinPrimary)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(textOf(dlg.get(), MainId::JobCounter), QString("Doing: 0"), 5000);
        QCOMPARE(textOf(dlg.get(), MainId::JobDetail), QString("0 matches"));

        // A second press while the run goes on starts nothing.
        dlg->OnCommand(MainId::FindDups);
        QTest::qWait(0);
        QCOMPARE(runs.load(), 1);

        // Minimised, the caption tells how far the run is.
        dlg->showMinimized();
        QTRY_COMPARE_WITH_TIMEOUT(dlg->windowTitle(), QString("0% Analyzed"), 5000);
        dlg->showNormal();
        QTRY_COMPARE_WITH_TIMEOUT(dlg->windowTitle(), QString("Twinly"), 5000);

        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::Abort), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(dataState(*dlg), QString("User aborted..."), 5000);
        QCOMPARE(readAll(logPath), QByteArray("an older log"));
        for (int id : {MainId::JobTotal, MainId::JobCounter, MainId::JobDetail}) {
            QVERIFY(textOf(dlg.get(), id).isEmpty());
        }
        QVERIFY(!control<QProgressBar>(dlg.get(), MainId::Progress)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), MainId::FindDups)->isEnabled());
        QVERIFY(control<QWidget>(dlg.get(), MainId::ModeWithinPrimary)->isEnabled());

        // An upper bound below the lower one takes the lower one's text.
        setBounds(*dlg, "95", "90");
        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::FindDups), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(gate.waiting(), 1, 5000);
        QCOMPARE(textOf(dlg.get(), MainId::UpperBound), QString("95"));
        QCOMPARE(low.load(), 950);
        QCOMPARE(high.load(), 950);
        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::Abort), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->jobs().isRunning(), 5000);
        QCOMPARE(runs.load(), 2);
    }

    void aLogThatCannotBeSavedIsReported() {
        QVERIFY(writeBytes(m_fx->path("plain"), "a file, not a folder"));
        m_fx->store().writeString("1.0", "LogPath", m_fx->path("plain/logs"));
        auto dlg = windowWithPrimary();
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::FindDups);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->jobs().isRunning() && !dataState(*dlg).isEmpty(), 20000);
        QCOMPARE(dataState(*dlg), QString("Finished: 1 matching pairs from 5 total image files."));
        const auto& call = m_fx->prompter().calls().back();
        QCOMPARE(call.caption, std::string("Error"));
        QCOMPARE(call.text, "Unable to save the dups log: " + m_fx->path("plain/logs/Dups.log"));
    }

    // A copy turned by an editor and a camera original stored sideways (its
    // orientation tag says how to show it) pair with the upright photo only
    // while the setup's rotation check is on, and the log says it was.
    void turnedCopiesPairOnlyWithTheRotationCheck() {
        QDir().mkpath(m_fx->qpath("photos"));
        const QImage upright = photo(QColor(230, 40, 30), QColor(250, 220, 60));
        const std::string original = m_fx->path("photos/upright.jpg");
        const std::string turned = m_fx->path("photos/turned.jpg");
        const std::string camera = m_fx->path("photos/camera.jpg");
        QVERIFY(writePhoto(original, JpegBytes(upright)));
        QVERIFY(writePhoto(turned, JpegBytes(upright.transformed(QTransform().rotate(90)))));
        QVERIFY(writePhoto(
            camera,
            WithExifOrientation(JpegBytes(upright.transformed(QTransform().rotate(270))), 6)));
        QVERIFY(writePhoto(m_fx->path("photos/other.jpg"),
                           JpegBytes(photo(QColor(20, 40, 200), QColor(40, 200, 90)))));
        auto dlg = m_fx->makeDlg();
        answerBuildDialog(m_pollers.get(), m_fx->path("photos"));
        dlg->OnCommand(MainId::PrimaryBuild);
        QTRY_COMPARE_WITH_TIMEOUT(dlg->run().primary().count(), 4, 20000);
        dlg->selectPage(kPageFind);
        const std::string logPath = m_fx->path("logs/Dups.log");

        dlg->OnCommand(MainId::FindDups);
        QTRY_COMPARE_WITH_TIMEOUT(dataState(*dlg),
                                  QString("Finished: 0 matching pairs from 4 total image files."),
                                  20000);
        QVERIFY(!readAll(logPath).contains("rotated"));

        bool shownOff = false;
        onNextModal(m_pollers.get(), [&shownOff](QWidget* d) {
            auto* rotation = control<QCheckBox>(d, FindSetupId::Rotation);
            shownOff = !rotation->isChecked();
            QCOMPARE(rotation->text(), QString("Also match copies turned 90, 180 and 270 degrees"));
            rotation->click();
            control<QAbstractButton>(d, kIdOk)->click();
        });
        dlg->OnCommand(MainId::FindSetup);
        QVERIFY(shownOff);
        QCOMPARE(dlg->run().settings().m_bCheckRotation, 1);
        QVERIFY(textOf(dlg.get(), MainId::SettingsText).contains("rotated"));

        dlg->OnCommand(MainId::FindDups);
        QTRY_COMPARE_WITH_TIMEOUT(
            dataState(*dlg),
            QString("Finished: 3 matching pairs from 4 total image files. Ready to 'View Dups.log"),
            20000);
        const QByteArray log = readAll(logPath);
        QVERIFY(log.contains("\r\n; additional check for rotated images\r\n"));
        for (const auto& [a, b] : {std::pair{original, turned}, std::pair{original, camera},
                                   std::pair{turned, camera}}) {
            QVERIFY(logPairs(log, a, b) || logPairs(log, b, a));
        }
    }

    // The newer formats are offered and read as the single image only while
    // the Options switch is on.
    void singleImageOfANewFormatFollowsTheSwitch() {
        auto dlg = windowWithPrimary();
        control<QRadioButton>(dlg.get(), MainId::ModeSingleToPrimary)->click();
        const std::string heic = m_fx->path("copy.heic");
        QVERIFY(writePhoto(heic, HeifBytes(QImage(QString::fromStdString(m_images[2])), false)));

        dlg->OnCommand(MainId::MenuAllImageFormats);
        m_fx->prompter().answerOpenFile(heic);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::SingleOpen);
        const auto& classic = m_fx->prompter().calls().front().file;
        QCOMPARE(classic.filter.find("heic"), std::string::npos);
        QCOMPARE(classic.initialName.find("heic"), std::string::npos);
        QCOMPARE(m_fx->prompter().calls().back().caption, std::string("Error"));
        QVERIFY(!dlg->run().singleLoaded());

        dlg->OnCommand(MainId::MenuAllImageFormats);
        m_fx->prompter().answerOpenFile(heic);
        dlg->OnCommand(MainId::SingleOpen);
        const auto& all = m_fx->prompter().calls().back().file;
        QVERIFY(all.filter.starts_with("Image Files|*.bmp;"));
        QVERIFY(all.filter.find(";*.heic;*.heif;*.avif;*.webp;*.jxl;*.dng;") != std::string::npos);
        QVERIFY(all.filter.find("| HEIC and AVIF (*.heic;*.heif;*.avif)|*.heic;*.heif;*.avif|") !=
                std::string::npos);
        QVERIFY(all.filter.ends_with("| All files (*.*)|*.*||"));
        QVERIFY(dlg->run().singleLoaded());
        dlg->selectPage(kPageFind);
        dlg->OnCommand(MainId::FindDups);
        QTRY_COMPARE_WITH_TIMEOUT(dataState(*dlg), kOneMatchOfFive, 20000);
        QVERIFY(logPairs(readAll(m_fx->path("logs/Dups.log")), heic, m_images[2]));
    }

    void singleImageOpensAndIsComparedWithThePrimary() {
        auto dlg = windowWithPrimary();
        control<QRadioButton>(dlg.get(), MainId::ModeSingleToPrimary)->click();
        dlg->selectPage(kPageGetData);

        // A file that is no image: the loader's message with its code; nothing changes.
        const std::string bad = m_fx->path("bad.jpg");
        QVERIFY(writeBytes(bad, "no picture here"));
        m_fx->prompter().answerOpenFile(bad);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::SingleOpen);
        const auto& open = m_fx->prompter().calls().front();
        QCOMPARE(open.caption, std::string("Get single image - open image file"));
        QVERIFY(open.file.filter.starts_with("Image Files|*.bmp;*.jpg;"));
        QVERIFY(open.file.filter.ends_with("| All files (*.*)|*.*||"));
        const auto& error = m_fx->prompter().calls().back();
        QCOMPARE(error.caption, std::string("Error"));
        QCOMPARE(error.icon, PromptIcon::Error);
        QVERIFY(error.text.starts_with("Unable to open file. Error: "));
        QCOMPARE(error.text, ImageLoadErrorText(LastImageError()));
        QCOMPARE(textOf(dlg.get(), MainId::SingleLabel), QString("Single image: none opened"));
        QVERIFY(!dlg->run().singleLoaded());

        // A copy of one primary image.
        QDir().mkpath(m_fx->qpath("pics"));
        const std::string cat = m_fx->path("pics/cat.jpg");
        QVERIFY(QFile::copy(QString::fromStdString(m_images[2]), QString::fromStdString(cat)));
        m_fx->prompter().answerOpenFile(cat);
        dlg->OnCommand(MainId::SingleOpen);
        QCOMPARE(textOf(dlg.get(), MainId::SingleLabel), QString("Single image:cat"));
        QCOMPARE(textOf(dlg.get(), MainId::SingleFile), QString::fromStdString(cat));
        QVERIFY(dlg->run().singleLoaded());
        m_fx->prompter().answerOpenFile(std::nullopt);
        dlg->OnCommand(MainId::SingleOpen);
        QCOMPARE(m_fx->prompter().calls().back().file.initialFolder, m_fx->path("pics") + "/");

        dlg->selectPage(kPageFind);
        QVERIFY(control<QPushButton>(dlg.get(), MainId::FindDups)->isEnabled());
        dlg->OnCommand(MainId::FindDups);
        QTRY_COMPARE_WITH_TIMEOUT(dataState(*dlg), kOneMatchOfFive, 20000);
        QVERIFY(logPairs(readAll(m_fx->path("logs/Dups.log")), cat, m_images[2]));
    }
};

QTEST_MAIN(FindJobsTest)
#include "find_jobs_test.moc"
