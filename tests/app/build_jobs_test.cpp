#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <set>

#include "build_commands.h"
#include "folder_walk.h"
#include "job_controller.h"
#include "job_test_kit.h"
#include "main_ids.h"
#include "main_menus.h"
#include "photo_writers.h"
#include "source_gather.h"

namespace {

// The real signer, counting which files it reads.
struct CountingSigner {
    std::mutex mutex;
    std::multiset<std::string> read;

    BuildCommands::SignerFactory factory() {
        return [this](BuildRun run, ResizeMode filter) {
            ImageSigner real = MakeRunSigner(run, filter);
            return [this, real](const std::string& path, ImageRecord& record) {
                {
                    std::lock_guard lock(mutex);
                    read.insert(path);
                }
                return real(path, record);
            };
        };
    }
};

// A signer that waits at the gate for every image.
BuildCommands::SignerFactory gatedSigner(StopGate& gate) {
    return [&gate](BuildRun run, ResizeMode filter) {
        ImageSigner real = MakeRunSigner(run, filter);
        return [&gate, real](const std::string& path, ImageRecord& record) {
            gate.pass();
            return real(path, record);
        };
    };
}

bool writeFile(const std::string& path, const std::string& bytes) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::WriteOnly) &&
           f.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

bool menuItemEnabled(CMainDlg& dlg, int id) {
    emit dlg.menus().popup("Data")->aboutToShow();
    return dlg.menus().action(id)->isEnabled();
}

constexpr int kChainDepth = 18;
const std::string kChainName(250, 'd');

// Folders nested below `top` until a path is longer than the system takes,
// which stops a listing even for root. Returns the first path too long.
std::string makeTooDeepChain(const std::string& top) {
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    std::string path = top;
    std::string tooLong;
    for (int depth = 0; fd >= 0 && depth < kChainDepth; ++depth) {
        const bool made = ::mkdirat(fd, kChainName.c_str(), 0700) == 0;
        const int next = made ? ::openat(fd, kChainName.c_str(), O_RDONLY | O_DIRECTORY) : -1;
        ::close(fd);
        fd = next;
        path += "/" + kChainName;
        if (tooLong.empty() && path.size() + 1 >= PATH_MAX) {
            tooLong = path + "/";
        }
    }
    if (fd < 0) {
        return {};
    }
    ::close(fd);
    return tooLong;
}

// Short names again, so that the temporary folder can be removed.
void shortenChain(const std::string& top) {
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    while (fd >= 0 && ::renameat(fd, kChainName.c_str(), fd, "s") == 0) {
        const int next = ::openat(fd, "s", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    if (fd >= 0) {
        ::close(fd);
    }
}

}  // namespace

class BuildJobsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<JobWindowFixture> m_fx;
    std::unique_ptr<QObject> m_pollers;

    // Builds slot 0 or 1 from `folder` and waits for the finish text.
    void build(CMainDlg& dlg, int slot, const std::string& folder, int images) {
        answerBuildDialog(m_pollers.get(), folder);
        dlg.OnCommand(slot == 0 ? MainId::PrimaryBuild : MainId::SecondaryBuild);
        QTRY_COMPARE_WITH_TIMEOUT(
            textOf(&dlg, MainId::Status),
            QStringLiteral("Finished: %1 images analyzed. Ready to 'Find dups'").arg(images),
            20000);
    }

    static void chooseMode(CMainDlg& dlg, int mode) {
        control<QRadioButton>(&dlg, MainId::ModeWithinPrimary + mode)->click();
        QCOMPARE(dlg.run().compareMode(), static_cast<CompareMode>(mode));
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

    void buildsPrimaryThenSecondaryAndKeepsTheirSources() {
        const auto primary = m_fx->writeImages("one", 4);
        m_fx->writeImages("two", 3, "other", 10);
        auto dlg = m_fx->makeDlg();
        dlg->selectPage(kPageGetData);
        build(*dlg, 0, m_fx->path("one"), 4);
        QCOMPARE(dlg->run().primary().count(), 4);
        QCOMPARE(std::set(dlg->run().primary().paths().begin(), dlg->run().primary().paths().end()),
                 std::set(primary.begin(), primary.end()));
        QVERIFY(std::all_of(dlg->run().primary().records().begin(),
                            dlg->run().primary().records().end(),
                            [](const ImageRecord& r) { return r.nWidth != 0; }));
        QCOMPARE(textOf(dlg.get(), MainId::PrimaryLabel), QString("Primary data file images: 4"));
        QCOMPARE(textOf(dlg.get(), MainId::PrimaryFile), QString("Image data file: built - ready"));
        QVERIFY(dlg->run().primaryUnsaved());
        QVERIFY(!control<QProgressBar>(dlg.get(), MainId::Progress)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::Abort)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), MainId::ModeWithinPrimary)->isEnabled());
        QVERIFY(textOf(dlg.get(), MainId::JobDetail).isEmpty() &&
                textOf(dlg.get(), MainId::JobCounter).isEmpty());
        QVERIFY(menuItemEnabled(*dlg, MainId::MenuSavePrimary) &&
                menuItemEnabled(*dlg, MainId::MenuRebuildPrimary));
        QVERIFY(!menuItemEnabled(*dlg, MainId::MenuRebuildSecondary));

        // The secondary build leaves the primary slot and its unsaved mark alone.
        dlg->run().setPrimaryUnsaved(false);
        chooseMode(*dlg, 1);
        build(*dlg, 1, m_fx->path("two"), 3);
        QCOMPARE(dlg->run().secondary().count(), 3);
        QCOMPARE(dlg->run().primary().count(), 4);
        QVERIFY(!dlg->run().primaryUnsaved());
        QCOMPARE(textOf(dlg.get(), MainId::SecondaryLabel),
                 QString("Secondary data file images: 3"));

        // The primary slot's source is a stored setting; the next window offers it again.
        dlg.reset();
        QCOMPARE(m_fx->store().readString("Dups", "LastFold").value_or(""), m_fx->path("one"));
        QCOMPARE(m_fx->store().readString("Dups", "LastSecFold").value_or(""), m_fx->path("two"));
        dlg = m_fx->makeDlg();
        QString offered;
        onNextModal(m_pollers.get(), [&offered](QWidget* dialog) {
            offered = control<QLineEdit>(dialog, BuildDlgId::Folder)->text();
            control<QAbstractButton>(dialog, kIdCancel)->click();
        });
        dlg->OnCommand(MainId::PrimaryBuild);
        QCOMPARE(offered, m_fx->qpath("one"));
        QVERIFY(!dlg->run().primary().hasRecords());
    }

    void buildDialogCountsTheFolderItIsGiven() {
        m_fx->writeImages("one", 4);
        m_fx->writeImages("one/sub", 2, "deep", 20);
        auto dlg = m_fx->makeDlg();
        QStringList lines;
        onNextModal(m_pollers.get(), [this, &lines](QWidget* dialog) {
            control<QLineEdit>(dialog, BuildDlgId::Folder)->setText(m_fx->qpath("one"));
            QTRY_COMPARE_WITH_TIMEOUT(
                textOf(dialog, BuildDlgId::CountLine),
                QString("Total image files = 4 : Read image files from folder"), 5000);
            lines << textOf(dialog, BuildDlgId::CountLine);
            control<QAbstractButton>(dialog, BuildDlgId::Subfolders)->click();
            QTRY_COMPARE_WITH_TIMEOUT(
                textOf(dialog, BuildDlgId::CountLine),
                QString("Total image files = 6 : Read image files from folder(s)"), 5000);
            lines << textOf(dialog, BuildDlgId::CountLine);
            control<QAbstractButton>(dialog, kIdCancel)->click();
        });
        dlg->OnCommand(MainId::PrimaryBuild);
        QCOMPARE(lines.size(), 2);
        // Cancel builds nothing and keeps the slot's source.
        QVERIFY(!dlg->jobs().isRunning());
        QVERIFY(dlg->run().primary().m_strSourceFolder.empty());
        QVERIFY(m_fx->prompter().calls().empty());
    }

    // Two JPEGs and a WebP and a HEIC copy of the first: the newer formats
    // are counted, gathered and read only while the Options switch is on.
    void newPhotoFormatsFollowTheOptionsSwitch() {
        const auto jpegs = m_fx->writeImages("photos", 2);
        const QImage photo(QString::fromStdString(jpegs[0]));
        const std::string webp = m_fx->path("photos/copy.webp");
        const std::string heic = m_fx->path("photos/copy.HEIC");
        QVERIFY(writeFile(webp, WebpBytes(photo)));
        QVERIFY(writeFile(heic, HeifBytes(photo, false)));
        auto dlg = m_fx->makeDlg();
        QCOMPARE(dlg->run().settings().m_bAllImageFormats, 1);
        QMenu* options = dlg->menus().popup("Options");
        QAction* formats = dlg->menus().action(MainId::MenuAllImageFormats);
        QVERIFY(options->actions().contains(formats));
        QCOMPARE(formats->text(), QString("Read HEIC, AVIF, WebP, JPEG XL and RAW"));
        emit options->aboutToShow();
        QVERIFY(formats->isCheckable() && formats->isChecked());

        QString counted;
        const auto countAndBuild = [&](int expected) {
            counted.clear();
            onNextModal(m_pollers.get(), [&](QWidget* dialog) {
                control<QLineEdit>(dialog, BuildDlgId::Folder)->setText(m_fx->qpath("photos"));
                const QString expectedLine =
                    QStringLiteral("Total image files = %1 : Read image files from folder")
                        .arg(expected);
                (void)QTest::qWaitFor(
                    [&] { return textOf(dialog, BuildDlgId::CountLine) == expectedLine; }, 5000);
                counted = textOf(dialog, BuildDlgId::CountLine);
                control<QAbstractButton>(dialog, kIdOk)->click();
            });
            dlg->OnCommand(MainId::PrimaryBuild);
            QTRY_COMPARE_WITH_TIMEOUT(
                textOf(dlg.get(), MainId::Status),
                QStringLiteral("Finished: %1 images analyzed. Ready to 'Find dups'").arg(expected),
                20000);
        };
        countAndBuild(4);
        QCOMPARE(counted, QString("Total image files = 4 : Read image files from folder"));
        const auto& all = dlg->run().primary();
        QCOMPARE(std::set(all.paths().begin(), all.paths().end()),
                 (std::set<std::string>{jpegs[0], jpegs[1], webp, heic}));
        QVERIFY(std::all_of(all.records().begin(), all.records().end(),
                            [](const ImageRecord& r) { return r.nWidth != 0; }));

        dlg->OnCommand(MainId::MenuAllImageFormats);
        QCOMPARE(dlg->run().settings().m_bAllImageFormats, 0);
        emit options->aboutToShow();
        QVERIFY(!formats->isChecked());
        countAndBuild(2);
        QCOMPARE(counted, QString("Total image files = 2 : Read image files from folder"));
        QCOMPARE(std::set(dlg->run().primary().paths().begin(), dlg->run().primary().paths().end()),
                 std::set(jpegs.begin(), jpegs.end()));

        // Switched back on, the fast rebuild counts the copies as new images
        // and reads them.
        dlg->OnCommand(MainId::MenuAllImageFormats);
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuRebuildPrimary);
        QVERIFY(m_fx->prompter().calls().back().text.ends_with("Image file count change = 2"));
        QTRY_COMPARE_WITH_TIMEOUT(textOf(dlg.get(), MainId::Status),
                                  QString("Finished: 4 images analyzed. Ready to 'Find dups'"),
                                  20000);
        QVERIFY(std::all_of(dlg->run().primary().records().begin(),
                            dlg->run().primary().records().end(),
                            [](const ImageRecord& r) { return r.nWidth != 0; }));
    }

    void abortLeavesTheBuiltSlotEmptyAndTheOtherUntouched() {
        m_fx->writeImages("one", 4);
        m_fx->writeImages("two", 5, "other", 10);
        auto dlg = m_fx->makeDlg();
        build(*dlg, 0, m_fx->path("one"), 4);
        const std::vector<ImageRecord> primaryRecords = dlg->run().primary().records();
        chooseMode(*dlg, 1);

        StopGate gate;
        gate.watch(&dlg->jobs().progress());
        dlg->buildCommands().setSignerFactory(gatedSigner(gate));
        answerBuildDialog(m_pollers.get(), m_fx->path("two"));
        dlg->OnCommand(MainId::SecondaryBuild);
        QVERIFY(dlg->jobs().isBuildRunning());
        QTRY_VERIFY_WITH_TIMEOUT(gate.waiting() > 0, 5000);

        // What a running build shows.
        QCOMPARE(textOf(dlg.get(), MainId::Status), QString("Reading image files..."));
        QCOMPARE(textOf(dlg.get(), MainId::JobCounter), QString("Total:  5"));
        QVERIFY(control<QProgressBar>(dlg.get(), MainId::Progress)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), MainId::Abort)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::ModeSecondaryToPrimary)->isEnabled());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::FindDups)->isEnabled());
        for (int id : {MainId::MenuOpenPrimary, MainId::MenuOpenSecondary, MainId::MenuSavePrimary,
                       MainId::MenuSaveSecondary, MainId::MenuRebuildPrimary,
                       MainId::MenuRebuildSecondary}) {
            QVERIFY2(!menuItemEnabled(*dlg, id), qPrintable(QString::number(id)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(textOf(dlg.get(), MainId::JobDetail), QString("Doing..0"), 5000);
        // Starting another build while one runs does nothing (no dialog either).
        dlg->OnCommand(MainId::PrimaryBuild);
        dlg->OnCommand(MainId::MenuRebuildPrimary);
        QCOMPARE(dlg->jobs().mode(), JobMode::BuildSecondary);
        QVERIFY(m_fx->prompter().calls().empty());

        QTest::mouseClick(control<QPushButton>(dlg.get(), MainId::Abort), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(textOf(dlg.get(), MainId::Status), QString("User aborted..."),
                                  5000);
        QVERIFY(!dlg->jobs().isRunning());
        QVERIFY(!dlg->run().secondary().hasRecords());
        QVERIFY(dlg->run().secondary().paths().empty());
        QCOMPARE(dlg->run().slotLabel(kSecondarySlot), std::string("Image data file: not built"));
        QCOMPARE(textOf(dlg.get(), MainId::DataState), QString("Image data file: not built"));
        QVERIFY(control<QWidget>(dlg.get(), MainId::ModeWithinPrimary)->isEnabled());
        QVERIFY(control<QWidget>(dlg.get(), MainId::ModeSingleToPrimary)->isEnabled());
        QVERIFY(!control<QProgressBar>(dlg.get(), MainId::Progress)->isVisible());
        QCOMPARE(dlg->windowTitle(), QString("Twinly"));
        QVERIFY(dlg->run().primary().records() == primaryRecords);
        QVERIFY(menuItemEnabled(*dlg, MainId::MenuOpenPrimary) &&
                menuItemEnabled(*dlg, MainId::MenuRebuildPrimary));
        QVERIFY(!menuItemEnabled(*dlg, MainId::MenuRebuildSecondary));
    }

    void tooFewImagesStartNothing() {
        m_fx->writeImages("one", 1);
        auto dlg = m_fx->makeDlg();
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        answerBuildDialog(m_pollers.get(), m_fx->path("one"));
        dlg->OnCommand(MainId::PrimaryBuild);
        QCOMPARE(m_fx->prompter().messageTexts(),
                 std::vector<std::string>{"You need at least 2 image files to process!"});
        QVERIFY(!dlg->jobs().isRunning());
        QVERIFY(!dlg->run().primary().hasRecords());
        QVERIFY(dlg->run().primary().paths().empty());
    }

    // A mistyped or empty folder says so and keeps what the slot held.
    void missingFolderSaysSoAndKeepsTheData() {
        m_fx->writeImages("one", 2);
        auto dlg = m_fx->makeDlg();
        build(*dlg, 0, m_fx->path("one"), 2);
        const std::string typo = m_fx->path("onee");
        for (const std::string& folder : {typo, std::string()}) {
            m_fx->prompter().answerMessage(PromptAnswer::Ok);
            answerBuildDialog(m_pollers.get(), folder);
            dlg->OnCommand(MainId::PrimaryBuild);
            QVERIFY(!dlg->jobs().isRunning());
            QCOMPARE(dlg->run().primary().count(), 2);
        }
        QCOMPARE(m_fx->prompter().messageTexts(),
                 (std::vector<std::string>{"The folder " + typo + " does not exist.",
                                           "Enter the folder to read image files from."}));
    }

    // What the walk left out, and the folder it could not list, are said in
    // the window.
    void buildSaysWhatTheWalkLeftOut() {
        const auto paths = m_fx->writeImages("one", 3);
        const std::string broken = m_fx->path("one/two\nlines.jpg");
        QVERIFY(QFile::copy(QString::fromStdString(paths[0]), QString::fromStdString(broken)));
        auto dlg = m_fx->makeDlg();
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        answerBuildDialog(m_pollers.get(), m_fx->path("one"));
        dlg->OnCommand(MainId::PrimaryBuild);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->jobs().isRunning() && dlg->run().primary().hasRecords(),
                                 20000);
        QCOMPARE(m_fx->prompter().messageTexts(),
                 std::vector<std::string>{LineBreakNamesText({broken})});
        const auto& names = dlg->run().primary().paths();
        QVERIFY(std::find(names.begin(), names.end(), broken) == names.end());

        const std::string deep = m_fx->path("deep");
        m_fx->writeImages("deep", 2);
        const std::string tooLong = makeTooDeepChain(deep);
        QVERIFY(!tooLong.empty());
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        answerBuildDialog(m_pollers.get(), deep, true);
        dlg->OnCommand(MainId::PrimaryBuild);
        shortenChain(deep);
        QVERIFY(!dlg->jobs().isRunning());
        QCOMPARE(m_fx->prompter().messageTexts().size(), std::size_t(2));
        const std::string text = m_fx->prompter().messageTexts()[1];
        QVERIFY2(text.starts_with("Unable to list the folder " + tooLong) &&
                     text.ends_with(": File name too long"),
                 text.c_str());
        QVERIFY(m_fx->prompter().allAnswersUsed());
    }

    void anUnreadableImageBecomesDeleted() {
        const auto paths = m_fx->writeImages("one", 3);
        const std::string broken = m_fx->path("one/broken.jpg");
        {
            std::FILE* f = std::fopen(broken.c_str(), "wb");
            QVERIFY(f != nullptr);
            std::fputs("not an image at all", f);
            std::fclose(f);
        }
        auto dlg = m_fx->makeDlg();
        answerBuildDialog(m_pollers.get(), m_fx->path("one"));
        dlg->OnCommand(MainId::PrimaryBuild);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg->jobs().isRunning() && dlg->run().primary().hasRecords(),
                                 20000);
        QCOMPARE(dlg->run().primary().count(), 4);
        const auto& names = dlg->run().primary().paths();
        const auto deleted = std::find(names.begin(), names.end(), std::string("Deleted"));
        QVERIFY(deleted != names.end());
        QCOMPARE(std::count(names.begin(), names.end(), std::string("Deleted")), 1);
        QCOMPARE(dlg->run().primary().records()[deleted - names.begin()].nWidth, 0);
        for (const std::string& p : paths) {
            QVERIFY(std::find(names.begin(), names.end(), p) != names.end());
        }
    }

    void fastRebuildReadsOnlyTheNewImages() {
        const auto first = m_fx->writeImages("one", 5);
        auto dlg = m_fx->makeDlg();
        build(*dlg, 0, m_fx->path("one"), 5);
        const auto indexOf = [&dlg](const std::string& path) {
            const auto& names = dlg->run().primary().paths();
            return std::find(names.begin(), names.end(), path) - names.begin();
        };
        const ImageRecord kept = dlg->run().primary().records()[indexOf(first[1])];
        dlg->run().setPrimaryUnsaved(false);

        std::filesystem::remove(first[4]);
        const auto added = m_fx->writeImages("one", 3, "new", 50);
        CountingSigner counter;
        dlg->buildCommands().setSignerFactory(counter.factory());
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuRebuildPrimary);
        // The purge has already dropped the deleted image: 4 left, 7 in the folder.
        const auto& call = m_fx->prompter().calls().back();
        QCOMPARE(call.caption, std::string("Information"));
        QCOMPARE(call.buttons, PromptButtons::OkCancel);
        QCOMPARE(call.text, std::string("There are changes in the file count.\nYou need to rebuild "
                                        "the primary data file. Press 'OK' to rebuild.\nImage "
                                        "file count change = 3"));
        QTRY_COMPARE_WITH_TIMEOUT(textOf(dlg.get(), MainId::Status),
                                  QString("Finished: 7 images analyzed. Ready to 'Find dups'"),
                                  20000);
        QCOMPARE(counter.read, std::multiset<std::string>(added.begin(), added.end()));
        QVERIFY(dlg->run().primary().records()[indexOf(first[1])] == kept);
        QCOMPARE(indexOf(first[4]), std::ptrdiff_t(7));
        QVERIFY(!dlg->run().primaryUnsaved());
    }

    void unchangedSecondaryOnlyInforms() {
        m_fx->writeImages("two", 3);
        auto dlg = m_fx->makeDlg();
        chooseMode(*dlg, 1);
        build(*dlg, 1, m_fx->path("two"), 3);
        const auto before = dlg->run().secondary().records();
        m_fx->prompter().answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuRebuildSecondary);
        const auto& call = m_fx->prompter().calls().back();
        QCOMPARE(call.buttons, PromptButtons::Ok);
        QCOMPARE(call.text, std::string("There is no change in the file count.\nIt appears there "
                                        "is no need to rebuild the secondary data file.\nImage "
                                        "file count = 3"));
        QVERIFY(!dlg->jobs().isRunning());
        QVERIFY(dlg->run().secondary().records() == before);
    }

    void closingDuringABuildStopsAndJoinsTheWorker() {
        m_fx->writeImages("one", 6);
        auto dlg = m_fx->makeDlg();
        StopGate gate;
        gate.watch(&dlg->jobs().progress());
        dlg->buildCommands().setSignerFactory(gatedSigner(gate));
        dlg->buildCommands().setThreads(2);
        answerBuildDialog(m_pollers.get(), m_fx->path("one"));
        dlg->OnCommand(MainId::PrimaryBuild);
        QTRY_COMPARE_WITH_TIMEOUT(gate.waiting(), 2, 5000);
        dlg.reset();
        // Both held threads have left the signer, and no image was started after.
        QCOMPARE(gate.waiting(), 0);
        QCOMPARE(gate.passed(), 2);
        QVERIFY(m_fx->prompter().calls().empty());
    }
};

QTEST_MAIN(BuildJobsTest)
#include "build_jobs_test.moc"
