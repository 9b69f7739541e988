#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "control_ids.h"
#include "desktop.h"
#include "file_ops.h"
#include "format_file_size.h"
#include "image_pane.h"
#include "image_view.h"
#include "log_commands.h"
#include "log_reader.h"
#include "main_ids.h"
#include "match_list.h"
#include "pair_viewer.h"
#include "photo_writers.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "test_images.h"
#include "viewer_panel.h"
#include "viewer_test_kit.h"
#include "window_test_kit.h"

namespace {

// Real file operations that can be made to fail, counting what was asked.
class TestFileOps : public FileOps {
  public:
    bool moveToTrash(const std::string& path) override {
        ++trashCalls;
        if (vanishFirst) {
            QFile::remove(QString::fromStdString(path));
        }
        return !failAll && m_real.moveToTrash(path);
    }
    bool deletePermanently(const std::string& path) override {
        ++permanentCalls;
        return !failAll && m_real.deletePermanently(path);
    }
    std::optional<std::string> moveToFolder(const std::string& path,
                                            const std::string& folder) override {
        ++moveCalls;
        if (failAll) {
            return std::nullopt;
        }
        return m_real.moveToFolder(path, folder);
    }
    std::string lastFailure() const override {
        return failAll ? std::string() : m_real.lastFailure();
    }
    bool failAll = false;
    bool vanishFirst = false;  // the file goes just before the operation
    int moveCalls = 0;
    int trashCalls = 0;
    int permanentCalls = 0;

  private:
    QtFileOps m_real;
};

struct LogPair {
    QString left;  // "Deleted " + path marks a removed side
    QString right;
    QString percent = "99.0";
};

}  // namespace

class PairViewerTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettingsStore> m_store;
    ScriptedPrompter m_prompter;
    TestFileOps m_fileOps;
    RecordingDesktop m_desktop;
    std::unique_ptr<QObject> m_pollers;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString logFile() const { return path("logs/Dups.log"); }

    std::unique_ptr<CMainDlg> makeDlg() {
        auto dlg = std::make_unique<CMainDlg>(MainDlgServices{.store = *m_store,
                                                              .prompter = m_prompter,
                                                              .fileOps = m_fileOps,
                                                              .desktop = m_desktop,
                                                              .dataFolder = path("data"),
                                                              .seedLogFile = QString()});
        dlg->show();
        return dlg;
    }

    QString image(const QString& name, int w = 64, int h = 32) {
        const QString file = path(name);
        const char* format = name.endsWith(".png") ? "PNG" : "JPG";
        if (!WriteImage(GradientImage(w, h, Qt::red, Qt::blue), file.toStdString(), format)) {
            qFatal("cannot write %s", qPrintable(file));
        }
        return file;
    }

    static void writeLog(const QString& file, const std::vector<LogPair>& pairs) {
        QStringList lines = {"DUPS", "; --- Duplicates Info -- recording stops at 1000 pairs --",
                             "; test run", QStringLiteral("; Match total: %1").arg(pairs.size()),
                             "-- Matches --"};
        int n = 0;
        for (const LogPair& p : pairs) {
            lines << QStringLiteral("; Match no: %1").arg(++n) << "Image 1 path: " + p.left
                  << "Image 2 path: " + p.right << "; % matching: " + p.percent << "; -------";
        }
        lines << ";"
              << "END";
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly)) {
            qFatal("cannot write %s", qPrintable(file));
        }
        out.write((lines.join("\r\n") + "\r\n").toUtf8());
    }

    static void clickTab(CMainDlg& dlg, int page) {
        QTabBar* bar = control<QTabWidget>(&dlg, MainId::Tabs)->findChild<QTabBar*>();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    static QString title(CMainDlg& dlg) { return control<QLabel>(&dlg, MainId::ViewTitle)->text(); }
    static QString text(CMainDlg& dlg, int id) {
        if (auto* edit = FindControl<QLineEdit>(&dlg, id)) {
            return edit->text();
        }
        return control<QLabel>(&dlg, id)->text();
    }
    static void press(CMainDlg& dlg, int id) {
        QTest::mouseClick(control<QPushButton>(&dlg, id), Qt::LeftButton);
    }
    static void clickLogLine(CMainDlg& dlg, int line) {
        auto* view = control<QListView>(&dlg, MainId::LogView);
        const QModelIndex index = view->model()->index(line, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    static std::string logLine(CMainDlg& dlg, int line) {
        return dlg.run().matches().m_logView.at(static_cast<std::size_t>(line));
    }

    // The names a log pair is made of, as files in the test folder.
    std::vector<LogPair> pairsOf(std::initializer_list<std::pair<const char*, const char*>> names) {
        std::vector<LogPair> pairs;
        for (const auto& [l, r] : names) {
            const auto side = [this](QString n) {
                return n.startsWith("-") ? "Deleted " + path(n.mid(1)) : path(n);
            };
            pairs.push_back({side(l), side(r)});
        }
        return pairs;
    }

    // Two pairs of a.jpg and b.jpg shown, with "moved" as the left Move folder.
    std::unique_ptr<CMainDlg> showTwoPairsWithMoveFolder() {
        image("a.jpg");
        image("b.jpg");
        QDir().mkpath(path("moved"));
        writeLog(logFile(), pairsOf({{"a.jpg", "b.jpg"}, {"b.jpg", "a.jpg"}}));
        auto dlg = makeDlg();
        dlg->run().settings().m_strMoveFolder = path("moved").toStdString();
        clickTab(*dlg, 3);
        return dlg;
    }

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_store = std::make_unique<QSettingsStore>(path("settings.ini"));
        m_store->writeString("Dups", "First", "Second");
        m_store->writeString("1.0", "LogPath", path("logs").toStdString());
        m_store->writeString("Dups", "ShowFS", "Yes");
        m_store->writeString("Dups", "DoBeep", "Yes");
        m_prompter.clear();
        m_desktop.requests.clear();
        m_fileOps = TestFileOps();
        m_pollers = std::make_unique<QObject>();
    }

    void cleanup() {
        m_pollers.reset();
        QCOMPARE(m_prompter.unexpectedCalls(), 0);
    }

    void panesFitTheImagesOwnSizeAndShowTheirFacts() {
        image("wide.jpg", 1600, 800);
        image("tall.png", 50, 200);
        writeLog(logFile(), pairsOf({{"wide.jpg", "tall.png"}, {"wide.jpg", "gone.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 2"));
        QCOMPARE(text(*dlg, MainId::LeftTitle), QString("wide"));
        QCOMPARE(text(*dlg, MainId::RightTitle), QString("tall"));
        // The JPEG is decoded at a reduced scale; its label keeps its own size.
        QCOMPARE(text(*dlg, MainId::LeftDimensions), QString("1600 x 800 JPG"));
        QCOMPARE(text(*dlg, MainId::RightDimensions), QString("50 x 200 PNG"));
        const qint64 size = QFileInfo(path("wide.jpg")).size();
        QCOMPARE(text(*dlg, MainId::LeftSize),
                 QString::fromStdString(FormatFileSize(size) + " bytes"));

        ImagePane* left = control<ImagePane>(dlg.get(), MainId::LeftPane);
        ImagePane* right = control<ImagePane>(dlg.get(), MainId::RightPane);
        const int w = left->width() - 4;
        QCOMPARE(left->pictureSize(), (FitSize{w, 800 * w / 1600}));
        QCOMPARE(left->pictureRect().center(), left->rect().center());
        const int h = right->height() - 4;
        QCOMPARE(right->pictureSize(), (FitSize{50 * h / 200, h}));

        // A missing file: placeholder picture, no label, its name in the title.
        press(*dlg, MainId::Next);
        QCOMPARE(text(*dlg, MainId::RightTitle), "Not found: " + path("gone.jpg"));
        QCOMPARE(text(*dlg, MainId::RightDimensions), QString());
        QVERIFY(right->hasPicture());
        QVERIFY(!dlg->pairViewer().side(kRightSide).loaded);

        dlg->run().settings().m_bShowFileSizes = 0;
        dlg->pairViewer().UpdateSizeLabels();
        QCOMPARE(text(*dlg, MainId::LeftSize), QString());
    }

    void sizeLabelsKeepTwoSeparators() {
        QFile small(path("small.jpg"));
        QVERIFY(small.open(QIODevice::WriteOnly) && small.resize(999));
        QFile big(path("big.jpg"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(10234567));
        writeLog(logFile(), pairsOf({{"small.jpg", "big.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        QCOMPARE(text(*dlg, MainId::LeftSize), QString(8, ' ') + "999 bytes");
        QCOMPARE(text(*dlg, MainId::RightSize), QString("10,234,567 bytes"));
    }

    // The dimensions and the size share the row left of Delete: whatever the
    // texts, neither is cut off, they do not overlap, and ordinary texts keep
    // the window's font.
    void infoRowKeepsLongDimensionsAndSizesWhole() {
        RunState run;
        ViewerPanel panel(run);
        panel.resize(800, 300);
        panel.layoutTall(0, 0, 800, 300);
        const auto fits = [&](int id) {
            auto* label = control<QLabel>(&panel, id);
            return QFontMetrics(label->font()).horizontalAdvance(label->text()) +
                       std::max(0, label->indent()) <=
                   label->width();
        };
        const auto rect = [&](int id) { return control<QWidget>(&panel, id)->geometry(); };

        panel.setSideTexts(0, "a", "1600 x 800 JPG");
        panel.setSizeText(0, "   12,345 bytes");
        QVERIFY(fits(MainId::LeftDimensions));
        QVERIFY(fits(MainId::LeftSize));
        QCOMPARE(control<QLabel>(&panel, MainId::LeftDimensions)->font(), panel.font());

        for (int side : {0, 1}) {
            const int dims = side == 0 ? MainId::LeftDimensions : MainId::RightDimensions;
            const int size = side == 0 ? MainId::LeftSize : MainId::RightSize;
            const int del = side == 0 ? MainId::LeftDelete : MainId::RightDelete;
            panel.setSideTexts(side, "b", "65535 x 65535 TIFF");
            panel.setSizeText(side, "1234,567,890 bytes");
            QVERIFY2(fits(dims), qPrintable(QString::number(rect(dims).width())));
            QVERIFY2(fits(size), qPrintable(QString::number(rect(size).width())));
            QVERIFY(!rect(dims).intersects(rect(size)));
            QVERIFY(rect(size).right() < rect(del).left());
            QCOMPARE(rect(dims).left(), panel.templateRect(dims).left());
        }

        // Back to short texts: the template's split and the font return.
        panel.setSideTexts(0, "c", "50 x 200 PNG");
        panel.setSizeText(0, "        999 bytes");
        QCOMPARE(rect(MainId::LeftDimensions).width(),
                 panel.templateRect(MainId::LeftDimensions).width());
        QCOMPARE(control<QLabel>(&panel, MainId::LeftSize)->font(), panel.font());
    }

    void nextAndBackSkipRemovedPairsWithoutWrappingTheSkip() {
        image("a.jpg");
        image("b.jpg");
        // Pairs 1 and 3 have a removed side.
        writeLog(logFile(), pairsOf({{"-a.jpg", "b.jpg"},
                                     {"a.jpg", "b.jpg"},
                                     {"a.jpg", "-b.jpg"},
                                     {"b.jpg", "a.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 4"));
        press(*dlg, MainId::Next);
        QCOMPARE(title(*dlg), QString("Viewing pair 4 of 4"));
        // Next at the last pair wraps to the first pair not removed.
        press(*dlg, MainId::Next);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 4"));
        // Back walks down over pair 1, which is removed, and stops there.
        press(*dlg, MainId::Back);
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 4"));
        QCOMPARE(text(*dlg, MainId::LeftTitle), QString("Deleted"));
        QVERIFY(control<ImagePane>(dlg.get(), MainId::LeftPane)->crossed());
        // Back from pair 1 wraps to the last pair; First and Last by key.
        press(*dlg, MainId::Back);
        QCOMPARE(title(*dlg), QString("Viewing pair 4 of 4"));
        auto* list = control<QListView>(dlg.get(), MainId::LogView);
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 4"));
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(title(*dlg), QString("Viewing pair 4 of 4"));
        // Back from the last pair walks down over pair 3.
        QTest::keyClick(list, Qt::Key_PageUp);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 4"));
    }

    void clickingALineOfTheShownPairChangesNothing() {
        image("a.jpg");
        image("b.jpg");
        writeLog(logFile(), pairsOf({{"a.jpg", "b.jpg"}, {"b.jpg", "a.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        const int first = dlg->run().matches().m_firstPairLine;
        dlg->viewer().setPairInfo("proposal");
        for (int line = first; line < first + 5; ++line) {
            clickLogLine(*dlg, line);
        }
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 2"));
        QCOMPARE(text(*dlg, MainId::PairInfo), QString("proposal"));
        // A line of the other pair, or the closing lines below it, show it.
        clickLogLine(*dlg, first + 5 + 3);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 2"));
        QCOMPARE(text(*dlg, MainId::PairInfo), QString());
        QCOMPARE(text(*dlg, MainId::LeftTitle), QString("b"));
        clickLogLine(*dlg, first);
        clickLogLine(*dlg, first + 10);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 2"));
    }

    void oneDeleteMarksAFileEverywhereAndTrashesIt() {
        const QString a = image("a.jpg");
        for (const char* n : {"b.jpg", "c.jpg", "d.jpg"}) {
            image(n);
        }
        writeLog(
            logFile(),
            pairsOf(
                {{"a.jpg", "b.jpg"}, {"c.jpg", "a.jpg"}, {"d.jpg", "a.jpg"}, {"c.jpg", "d.jpg"}}));
        auto dlg = makeDlg();
        std::vector<std::string> paths;
        std::vector<ImageRecord> records;
        for (const char* n : {"b.jpg", "a.jpg", "d.jpg"}) {
            paths.push_back(path(n).toStdString());
            records.emplace_back().nWidth = 64;
        }
        DatafileSlot primary;
        primary.setEntries(std::move(paths), std::move(records));
        dlg->run().setSlot(kPrimarySlot, std::move(primary));
        clickTab(*dlg, 3);
        press(*dlg, MainId::LeftDelete);

        QVERIFY(!QFile::exists(a));
        const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files/";
        QVERIFY2(QFileInfo(trash).isDir(), qPrintable(trash));
        QVERIFY(!QDir(trash).entryList({"a*.jpg"}).isEmpty());
        QCOMPARE(m_fileOps.permanentCalls, 0);

        const MatchList& m = dlg->run().matches();
        const int first = m.m_firstPairLine;
        const std::string deleted = "Deleted " + a.toStdString();
        QCOMPARE(logLine(*dlg, first + 1), "Image 1 path: " + deleted);
        QCOMPARE(logLine(*dlg, first + 7), "Image 2 path: " + deleted);
        QCOMPARE(logLine(*dlg, first + 12), "Image 2 path: " + deleted);
        QCOMPARE(m.m_leftPaths, (std::vector<std::string>{"Deleted", path("c.jpg").toStdString(),
                                                          path("d.jpg").toStdString(),
                                                          path("c.jpg").toStdString()}));
        QCOMPARE(m.m_rightPaths[1], std::string("Deleted"));
        QCOMPARE(m.m_rightPaths[2], std::string("Deleted"));
        QCOMPARE(dlg->run().primary().records()[1].nWidth, std::uint16_t(0));
        QCOMPARE(dlg->run().primary().records()[0].nWidth, std::uint16_t(64));
        QVERIFY(dlg->run().primaryUnsaved());
        QVERIFY(dlg->run().logChanged());
        QCOMPARE(m_desktop.count("beep"), 1);
        QCOMPARE(title(*dlg), QString("Viewing pair 4 of 4"));

        // The marks survive closing: the log is written back.
        dlg->run().settings().m_bRemindSave = 0;
        dlg->reject();
        MatchList reread;
        QCOMPARE(ReadDupsLog(logFile().toStdString(), reread), kLogRead);
        QCOMPARE(reread.m_leftPaths[0], std::string("Deleted"));
        QCOMPARE(reread.m_rightPaths[2], std::string("Deleted"));
    }

    void deletingTheRightImageOfTheLastPairGoesToTheFirstWholePair() {
        image("a.jpg");
        image("b.jpg");
        const QString c = image("c.jpg");
        writeLog(logFile(), pairsOf({{"-a.jpg", "b.jpg"}, {"a.jpg", "b.jpg"}, {"b.jpg", "c.jpg"}}));
        auto dlg = makeDlg();
        dlg->run().settings().m_bPermanentDelete = 1;
        clickTab(*dlg, 3);
        press(*dlg, MainId::Last);
        QCOMPARE(title(*dlg), QString("Viewing pair 3 of 3"));
        QTest::keyClick(control<QListView>(dlg.get(), MainId::LogView), Qt::Key_2,
                        Qt::ControlModifier);
        QVERIFY(!QFile::exists(c));
        QCOMPARE(m_fileOps.permanentCalls, 1);
        QCOMPARE(m_fileOps.trashCalls, 0);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 3"));
    }

    void aFailedRemovalChangesNothing() {
        auto dlg = showTwoPairsWithMoveFolder();
        const QString a = path("a.jpg");
        const QString b = path("b.jpg");
        const std::vector<std::string> lines = dlg->run().matches().m_logView;
        m_fileOps.failAll = true;
        m_prompter.answerMessage(PromptAnswer::Ok);
        m_prompter.answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuLeftMove);  // move left
        press(*dlg, MainId::RightDelete);      // delete right: no trash to be had
        QCOMPARE(m_prompter.messageTexts(),
                 (std::vector<std::string>{"Unable to move " + a.toStdString(),
                                           "Unable to delete " + b.toStdString()}));
        QCOMPARE(m_prompter.calls()[0].caption, std::string("Delete or move failed"));
        QCOMPARE(m_fileOps.permanentCalls, 0);
        QVERIFY(QFile::exists(a) && QFile::exists(b));
        QCOMPARE(dlg->run().matches().m_logView, lines);
        QCOMPARE(dlg->run().matches().m_leftPaths[0], a.toStdString());
        QVERIFY(!control<ImagePane>(dlg.get(), MainId::LeftPane)->crossed() &&
                !control<ImagePane>(dlg.get(), MainId::RightPane)->crossed());
        QVERIFY(!dlg->run().logChanged());
        QCOMPARE(m_desktop.count("beep"), 0);
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 2"));
    }

    // The reason names the file; a side whose file went is shown as gone.
    void aFailedRemovalSaysWhatFailed() {
        auto dlg = showTwoPairsWithMoveFolder();
        const QString a = path("a.jpg");
        const QString b = path("b.jpg");
        const QByteArray before = ViewerFixture::md5(a);
        QVERIFY(QDir(path("moved")).removeRecursively());
        m_prompter.answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuLeftMove);
        QCOMPARE(m_fileOps.moveCalls, 1);
        const std::string moveFailure = m_prompter.messageTexts().at(0);
        QVERIFY2(moveFailure.starts_with("Unable to move " + a.toStdString()) &&
                     moveFailure.find(path("moved").toStdString()) != std::string::npos &&
                     moveFailure.find("No such file or directory") != std::string::npos,
                 moveFailure.c_str());
        QCOMPARE(ViewerFixture::md5(a), before);
        QCOMPARE(text(*dlg, MainId::LeftTitle), QString("a"));

        // Gone between the look before acting and the trash.
        m_fileOps.vanishFirst = true;
        m_prompter.answerMessage(PromptAnswer::Ok);
        press(*dlg, MainId::RightDelete);
        QCOMPARE(m_fileOps.trashCalls, 1);
        QVERIFY(m_prompter.messageTexts().at(1).starts_with("Unable to "));
        QVERIFY(m_prompter.messageTexts().at(1).find(b.toStdString()) != std::string::npos);
        QCOMPARE(text(*dlg, MainId::RightTitle), "Not found: " + b);
        QVERIFY(!dlg->pairViewer().side(kRightSide).loaded);
        QCOMPARE(dlg->run().matches().m_rightPaths[0], b.toStdString());
        QVERIFY(!control<ImagePane>(dlg.get(), MainId::RightPane)->crossed());
        QVERIFY(!dlg->run().logChanged());
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 2"));
    }

    // Deleting by hand is refused while the other image is gone, changed,
    // or the same file: the one left would be the only copy.
    void handRemovalKeepsTheLastCopy() {
        const QString a = image("a.jpg");
        const QString b = image("b.jpg");
        QVERIFY(QFile::link(a, path("link.jpg")));
        QDir().mkpath(path("moved"));
        writeLog(logFile(), pairsOf({{"a.jpg", "b.jpg"}, {"link.jpg", "a.jpg"}}));
        auto dlg = makeDlg();
        dlg->run().settings().m_strMoveFolder2 = path("moved").toStdString();
        clickTab(*dlg, 3);
        const QByteArray sumA = ViewerFixture::md5(a);
        QVERIFY(QFile::remove(b));
        press(*dlg, MainId::LeftDelete);
        QCOMPARE(ViewerFixture::md5(a), sumA);
        QCOMPARE(m_fileOps.trashCalls, 0);
        QCOMPARE(text(*dlg, MainId::PairInfo), QString("No delete\nImage 2 is no longer on disk"));
        QCOMPARE(text(*dlg, MainId::RightTitle), "Not found: " + b);
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 2"));
        QVERIFY(!dlg->run().logChanged());

        // A link beside its target: either side, delete or move, is refused.
        press(*dlg, MainId::Next);
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 2"));
        for (int id : {int(MainId::LeftDelete), int(MainId::MenuRightMove)}) {
            m_prompter.answerMessage(PromptAnswer::Ok);
            dlg->OnCommand(id);
            QCOMPARE(m_prompter.messageTexts().back(), std::string(kSameFileRemovalText));
        }
        QCOMPARE(m_prompter.calls().back().caption, std::string("Nothing deleted"));
        QCOMPARE(m_fileOps.trashCalls + m_fileOps.moveCalls, 0);
        QCOMPARE(ViewerFixture::md5(a), sumA);
        QVERIFY(QFileInfo(path("link.jpg")).isSymLink());
        QVERIFY(QDir(path("moved")).isEmpty());
        QVERIFY(!dlg->run().logChanged());
    }

    void moveKeepsAFileOfTheSameNameInTheFolder() {
        image("a.jpg");
        const QString b = image("b.jpg");
        QDir().mkpath(path("moved"));
        QFile::copy(b, path("moved/b.jpg"));
        const QByteArray before = [&] {
            QFile f(path("moved/b.jpg"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        writeLog(logFile(), pairsOf({{"a.jpg", "b.jpg"}}));
        auto dlg = makeDlg();
        dlg->run().settings().m_strMoveFolder2 = path("moved").toStdString();
        clickTab(*dlg, 3);
        dlg->OnCommand(MainId::MenuRightMove);
        QVERIFY(!QFile::exists(b));
        QCOMPARE(QDir(path("moved")).entryList(QDir::Files).size(), 2);
        QFile kept(path("moved/b.jpg"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), before);
        // The only pair now has a removed side: it stays, crossed out.
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 1"));
        QCOMPARE(text(*dlg, MainId::RightTitle), QString("Deleted"));
        QVERIFY(control<ImagePane>(dlg.get(), MainId::RightPane)->crossed());
        QCOMPARE(m_desktop.count("beep"), 1);
    }

    void paneMenusAreGrayedForARemovedSide() {
        image("a.jpg");
        writeLog(logFile(), pairsOf({{"a.jpg", "-b.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        const auto menuStates = [&](int side) {
            QStringList states;
            onNextWindow(m_pollers.get(), true, [&states](QWidget* popup) {
                for (QAction* a : popup->actions()) {
                    if (!a->isSeparator()) {
                        states << QString(a->isEnabled() ? "on" : "off");
                    }
                }
                popup->close();
            });
            ImagePane* pane = control<ImagePane>(dlg.get(), MainId::LeftPane + side);
            QContextMenuEvent event(QContextMenuEvent::Mouse, pane->rect().center(),
                                    pane->mapToGlobal(pane->rect().center()));
            QApplication::sendEvent(pane, &event);
            return states.join(' ');
        };
        // Nor can the pair be judged "not a duplicate" any more.
        QCOMPARE(menuStates(1), QString("off off off off off off"));
        // No move folder: only Move is grayed on the left.
        QCOMPARE(menuStates(0), QString("on on on on off off"));
        dlg->run().settings().m_strMoveFolder = m_dir->path().toStdString();
        QCOMPARE(menuStates(0), QString("on on on on on off"));

        dlg->OnCommand(MainId::MenuLeftOpenImage);
        dlg->OnCommand(MainId::MenuLeftProperties);
        dlg->OnCommand(MainId::MenuRightOpenImage);
        QCOMPARE(m_desktop.count("open"), 1);
        QCOMPARE(m_desktop.count("properties"), 1);
        QCOMPARE(m_desktop.requests[0].target, path("a.jpg").toStdString());
    }

    void fullScreenNeverEnlargesAndClosesOnAClick() {
        image("a.jpg", 100, 50);
        image("b.jpg");
        writeLog(logFile(), pairsOf({{"a.jpg", "b.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        // Panes enlarge small images.
        QVERIFY(control<ImagePane>(dlg.get(), MainId::LeftPane)->pictureSize().width > 100);
        FitSize shown;
        QPoint offset;
        bool closed = false;
        onNextWindow(m_pollers.get(), false, [&](QWidget* modal) {
            auto* view = qobject_cast<CImageView*>(modal);
            QVERIFY(view != nullptr && view->objectName() == "id105");
            // Maximised: far larger than the picture.
            QTRY_VERIFY_WITH_TIMEOUT(view->width() > 400 && view->height() > 300, 5000);
            shown = view->pictureSize();
            offset = view->pictureRect().center() -
                     control<QWidget>(view, ImageViewId::Frame)->geometry().center();
            QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(3, 3));
            closed = !view->isVisible();
        });
        dlg->OnCommand(MainId::MenuLeftFullScreen);
        QCOMPARE(shown, (FitSize{100, 50}));
        QVERIFY(offset.manhattanLength() <= 1);
        QVERIFY(closed);
    }

    // A camera original stored sideways with the "turn clockwise" tag is
    // shown upright in its pane and in full screen, with its size as shown.
    void sidewaysPhotoIsShownUprightEverywhere() {
        // Upright: 60 x 120, red at the top; stored turned back a quarter.
        const QImage upright =
            GradientImage(120, 60, Qt::red, Qt::blue).transformed(QTransform().rotate(90));
        QFile camera(path("camera.jpg"));
        QVERIFY(camera.open(QIODevice::WriteOnly));
        const std::string bytes =
            WithExifOrientation(JpegBytes(upright.transformed(QTransform().rotate(270))), 6);
        camera.write(bytes.data(), static_cast<qint64>(bytes.size()));
        camera.close();
        image("b.jpg");
        writeLog(logFile(), pairsOf({{"camera.jpg", "b.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        QCOMPARE(text(*dlg, MainId::LeftDimensions), QString("60 x 120 JPG"));
        ImagePane* left = control<ImagePane>(dlg.get(), MainId::LeftPane);
        const int h = left->height() - 4;
        QCOMPARE(left->pictureSize(), (FitSize{60 * h / 120, h}));
        const QImage pane = left->grab().toImage();
        const QPoint centre = left->pictureRect().center();
        const QColor top = pane.pixelColor(centre.x(), left->pictureRect().top() + 3);
        const QColor bottom = pane.pixelColor(centre.x(), left->pictureRect().bottom() - 3);
        QVERIFY2(top.red() > 150 && top.blue() < 100, qPrintable(top.name()));
        QVERIFY2(bottom.blue() > 150 && bottom.red() < 100, qPrintable(bottom.name()));

        FitSize shown;
        QColor shownTop;
        onNextWindow(m_pollers.get(), false, [&](QWidget* modal) {
            auto* view = qobject_cast<CImageView*>(modal);
            QVERIFY(view != nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(view->width() > 400 && view->height() > 300, 5000);
            shown = view->pictureSize();
            const QRect rect = view->pictureRect();
            shownTop = view->grab().toImage().pixelColor(rect.center().x(), rect.top() + 3);
            QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(3, 3));
        });
        dlg->OnCommand(MainId::MenuLeftFullScreen);
        QCOMPARE(shown, (FitSize{60, 120}));
        QVERIFY2(shownTop.red() > 150 && shownTop.blue() < 100, qPrintable(shownTop.name()));
    }

    void defaultLogMessages() {
        auto dlg = makeDlg();
        m_prompter.answerMessage(PromptAnswer::Ok);
        clickTab(*dlg, 3);
        QCOMPARE(m_prompter.calls().back().caption, std::string("Error"));
        QCOMPARE(m_prompter.calls().back().text, std::string("No Dups.log was found.."));
        QVERIFY(m_prompter.calls().back().icon == PromptIcon::Error);
        QCOMPARE(title(*dlg), QString("No Dups.log file was found."));

        // Invalid: offered as text.
        QFile bad(logFile());
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("DUPS\r\nno end\r\n");
        bad.close();
        dlg->run().setResultsPending(true);
        m_prompter.answerMessage(PromptAnswer::Yes);
        clickTab(*dlg, 0);
        clickTab(*dlg, 3);
        QCOMPARE(title(*dlg), QString("Not a valid dups log record file!"));
        QCOMPARE(m_prompter.calls().back().text,
                 std::string("Not a valid Dups log record.\nDo you wish to view it as text?"));
        QVERIFY(m_prompter.calls().back().buttons == PromptButtons::YesNo);
        QCOMPARE(m_desktop.count("open"), 1);
        QCOMPARE(m_desktop.requests.back().target, logFile().toStdString());

        // No pairs: the log view alone in the short layout.
        writeLog(logFile(), {});
        dlg->run().setResultsPending(true);
        clickTab(*dlg, 0);
        clickTab(*dlg, 3);
        QCOMPARE(title(*dlg), QString("No matching image pairs. No dups!"));
        QVERIFY(!dlg->isExpanded());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::LeftPane)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), MainId::LogView)->isVisible());
    }

    void chosenLogMessagesAndLoad() {
        image("a.jpg");
        image("b.jpg");
        auto dlg = makeDlg();
        m_prompter.answerOpenFile(std::nullopt);
        dlg->OnCommand(MainId::MenuOpenLog);
        const ScriptedPrompter::Call& dialog = m_prompter.calls().back();
        QCOMPARE(dialog.caption, std::string("Open (Dups log file as images)"));
        QCOMPARE(dialog.file.initialFolder, path("logs").toStdString());
        QCOMPARE(dialog.file.filter,
                 std::string("Dups log file (*.log)|*.log|All files (*.*)|*.*||"));
        QCOMPARE(dlg->currentPage(), 0);

        // The text-only commands hand the logs to the desktop.
        dlg->OnCommand(MainId::MenuOpenDupsLogText);
        m_prompter.answerOpenFile(path("other.log").toStdString());
        dlg->OnCommand(MainId::MenuOpenLogText);
        QCOMPARE(m_prompter.calls().back().caption, std::string("Open (Log file as text)"));
        QCOMPARE(m_desktop.count("open"), 2);
        QCOMPARE(m_desktop.requests[0].target, logFile().toStdString());
        QCOMPARE(m_desktop.requests[1].target, path("other.log").toStdString());

        m_prompter.answerOpenFile(path("none.log").toStdString());
        m_prompter.answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuOpenLog);
        QCOMPARE(m_prompter.messageTexts().back(), std::string("No log file was found.."));

        QFile bad(path("bad.log"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("DUPX and more");
        bad.close();
        m_prompter.answerOpenFile(path("bad.log").toStdString());
        m_prompter.answerMessage(PromptAnswer::Ok);
        dlg->OnCommand(MainId::MenuOpenLog);
        QCOMPARE(m_prompter.calls().back().text,
                 std::string("Not a valid Dups log record file.\nDo you wish to view as a text "
                             "file?"));
        QVERIFY(m_prompter.calls().back().buttons == PromptButtons::OkCancel);
        QCOMPARE(m_desktop.requests.back().target, path("bad.log").toStdString());

        writeLog(path("empty.log"), {});
        m_prompter.answerOpenFile(path("empty.log").toStdString());
        dlg->OnCommand(MainId::MenuOpenLog);
        QCOMPARE(dlg->currentPage(), 3);
        QCOMPARE(title(*dlg), QString("No matching image pairs!"));
        QVERIFY(!dlg->run().resultsPending());

        writeLog(path("mine.log"), pairsOf({{"a.jpg", "b.jpg"}}));
        m_prompter.answerOpenFile(path("mine.log").toStdString());
        dlg->OnCommand(MainId::MenuOpenLog);
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 1"));
        QVERIFY(dlg->isExpanded());
        QVERIFY(m_prompter.allAnswersUsed());

        // Removals are written back to the log they came from, not to Dups.log.
        press(*dlg, MainId::LeftDelete);
        dlg->reject();
        MatchList reread;
        QCOMPARE(ReadDupsLog(path("mine.log").toStdString(), reread), kLogRead);
        QCOMPARE(reread.m_leftPaths[0], std::string("Deleted"));
        QVERIFY(!QFile::exists(logFile()));
    }

    void sortSavesTheLogAndAReloadKeepsTheOrder() {
        image("a.jpg");
        image("b.jpg");
        image("c.jpg");
        std::vector<LogPair> pairs =
            pairsOf({{"a.jpg", "b.jpg"}, {"b.jpg", "c.jpg"}, {"c.jpg", "a.jpg"}});
        pairs[0].percent = "98.0";
        pairs[1].percent = "99.5";
        pairs[2].percent = "98.0";
        writeLog(logFile(), pairs);
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        control<QAction>(dlg.get(), MainId::MenuSortDescending)->trigger();
        QCOMPARE(dlg->run().settings().m_nSortMode, 3);
        QVERIFY(control<QAction>(dlg.get(), MainId::MenuSortDescending)->isChecked());
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 3"));
        QCOMPARE(text(*dlg, MainId::LeftTitle), QString("b"));
        const std::vector<std::string> sorted = dlg->run().matches().m_leftPaths;
        QCOMPARE(sorted,
                 (std::vector<std::string>{path("b.jpg").toStdString(), path("a.jpg").toStdString(),
                                           path("c.jpg").toStdString()}));
        // Choosing the same order again does nothing; "No sort" only records itself.
        control<QAction>(dlg.get(), MainId::MenuNoSort)->trigger();
        QCOMPARE(dlg->run().settings().m_nSortMode, 1);
        QCOMPARE(dlg->run().matches().m_leftPaths, sorted);

        // Shown at pair 2, reloaded: same order, same pair.
        press(*dlg, MainId::Next);
        dlg->run().setResultsPending(true);
        clickTab(*dlg, 0);
        clickTab(*dlg, 3);
        QCOMPARE(dlg->run().matches().m_leftPaths, sorted);
        QCOMPARE(logLine(*dlg, dlg->run().matches().m_firstPairLine + 5),
                 std::string(";Match no: 2"));
        QCOMPARE(title(*dlg), QString("Viewing pair 2 of 3"));

        // A sort that cannot be saved says so.
        QVERIFY(QFile::remove(logFile()) && QDir().mkpath(logFile()));
        m_prompter.answerMessage(PromptAnswer::No);  // something else is there: replace it
        m_prompter.answerMessage(PromptAnswer::Ok);
        control<QAction>(dlg.get(), MainId::MenuSortAscending)->trigger();
        QVERIFY(m_prompter.messageTexts().back().starts_with("Unable to save Dups log file!"));
    }

    // Marks are never written silently over a log another run wrote meanwhile.
    void aLogChangedOnDiskIsNotOverwrittenUnasked() {
        for (const char* n : {"a1.jpg", "b1.jpg", "a2.jpg", "b2.jpg", "a3.jpg", "b3.jpg"}) {
            image(n);
        }
        const auto other = [this] {
            writeLog(logFile(), pairsOf({{"x.jpg", "y.jpg"}, {"y.jpg", "z.jpg"}}));
            return ViewerFixture::md5(logFile());
        };
        // Kept as it is: nothing written, closing goes on.
        writeLog(logFile(), pairsOf({{"a1.jpg", "b1.jpg"}}));
        auto dlg = makeDlg();
        dlg->run().settings().m_bRemindSave = 0;
        clickTab(*dlg, 3);
        press(*dlg, MainId::LeftDelete);
        QByteArray changed = other();
        m_prompter.answerMessage(PromptAnswer::Cancel);
        dlg->reject();
        QVERIFY(m_prompter.allAnswersUsed());
        QCOMPARE(m_prompter.calls().back().caption, std::string("Dups log changed"));
        QVERIFY(m_prompter.calls().back().text.starts_with(logFile().toStdString() +
                                                           "\nchanged on disk since it was read"));
        QCOMPARE(ViewerFixture::md5(logFile()), changed);

        // Saved under another name: the changed log stays, the marks are kept.
        writeLog(logFile(), pairsOf({{"a2.jpg", "b2.jpg"}}));
        dlg = makeDlg();
        dlg->run().settings().m_bRemindSave = 0;
        clickTab(*dlg, 3);
        press(*dlg, MainId::LeftDelete);
        changed = other();
        m_prompter.answerMessage(PromptAnswer::Yes);
        m_prompter.answerSaveFile(path("logs/marks").toStdString());
        dlg->reject();
        QCOMPARE(ViewerFixture::md5(logFile()), changed);
        MatchList kept;
        QCOMPARE(ReadDupsLog(path("logs/marks.log").toStdString(), kept), kLogRead);
        QCOMPARE(kept.m_leftPaths, std::vector<std::string>{"Deleted"});

        // Loading another log asks too; the user may replace it.
        writeLog(logFile(), pairsOf({{"a3.jpg", "b3.jpg"}}));
        writeLog(path("next.log"), pairsOf({{"b1.jpg", "b2.jpg"}}));
        dlg = makeDlg();
        clickTab(*dlg, 3);
        press(*dlg, MainId::LeftDelete);
        other();
        m_prompter.answerOpenFile(path("next.log").toStdString());
        m_prompter.answerMessage(PromptAnswer::No);
        dlg->OnCommand(MainId::MenuOpenLog);
        MatchList replaced;
        QCOMPARE(ReadDupsLog(logFile().toStdString(), replaced), kLogRead);
        QCOMPARE(replaced.m_leftPaths, std::vector<std::string>{"Deleted"});
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 1"));
        QVERIFY(m_prompter.allAnswersUsed());
    }

    // Save As never replaces a file unasked, also when the dialog's answer
    // lacks the ".log" its check did not see.
    void saveLogAsAsksBeforeReplacing() {
        image("a.jpg");
        image("b.jpg");
        writeLog(logFile(), pairsOf({{"a.jpg", "b.jpg"}}));
        auto dlg = makeDlg();
        clickTab(*dlg, 3);
        const std::string chosen = path("logs/DupsRecordLog").toStdString();
        m_prompter.answerSaveFile(chosen);
        dlg->OnCommand(MainId::MenuSaveLog);
        const QString saved = path("logs/DupsRecordLog.log");
        QVERIFY(QFile::exists(saved));
        QVERIFY(!m_prompter.calls().back().file.overwritePrompt);
        const QByteArray first = ViewerFixture::md5(saved);

        press(*dlg, MainId::LeftDelete);
        m_prompter.answerSaveFile(chosen);
        m_prompter.answerMessage(PromptAnswer::No);
        m_prompter.answerSaveFile(std::nullopt);
        dlg->OnCommand(MainId::MenuSaveLog);
        const ScriptedPrompter::Call& question =
            m_prompter.calls().at(m_prompter.calls().size() - 2);
        QCOMPARE(question.text,
                 std::string("DupsRecordLog.log already exists.\nDo you want to replace it?"));
        QVERIFY(question.buttons == PromptButtons::YesNo);
        // Asked again where the user was.
        QCOMPARE(m_prompter.calls().back().file.initialName, std::string("DupsRecordLog.log"));
        QCOMPARE(ViewerFixture::md5(saved), first);

        m_prompter.answerSaveFile(chosen);
        m_prompter.answerMessage(PromptAnswer::Yes);
        dlg->OnCommand(MainId::MenuSaveLog);
        MatchList reread;
        QCOMPARE(ReadDupsLog(saved.toStdString(), reread), kLogRead);
        QCOMPARE(reread.m_leftPaths, std::vector<std::string>{"Deleted"});
        QVERIFY(m_prompter.allAnswersUsed());
    }

    void resultsAfterARunShowTheFirstPairAndSortWhenAsked() {
        image("a.jpg");
        image("b.jpg");
        std::vector<LogPair> pairs = pairsOf({{"a.jpg", "b.jpg"}, {"b.jpg", "a.jpg"}});
        pairs[1].percent = "100.0";
        writeLog(logFile(), pairs);
        auto dlg = makeDlg();
        dlg->run().settings().m_nSortMode = 3;
        dlg->run().settings().m_nDeleteMode = DeleteMode::Automatic;
        dlg->logCommands().ShowResultsAfterRun();
        QVERIFY(!dlg->run().resultsPending());
        QCOMPARE(dlg->run().matches().m_leftPaths[0], path("b.jpg").toStdString());
        QCOMPARE(dlg->pairViewer().selectedPair(), 0);
        QCOMPARE(title(*dlg), QString("Viewing pair 1 of 2"));
        // Nothing was deleted on sight although automatic delete is set.
        QVERIFY(QFile::exists(path("a.jpg")) && QFile::exists(path("b.jpg")));

        // "SaveAs log file..." writes the view and sounds.
        m_prompter.answerSaveFile(path("copy.log").toStdString());
        dlg->OnCommand(MainId::MenuSaveLog);
        QCOMPARE(m_prompter.calls().back().caption, std::string("SaveAs (Dups log record file)"));
        QCOMPARE(m_prompter.calls().back().file.initialName, std::string("DupsRecordLog"));
        MatchList copy;
        QCOMPARE(ReadDupsLog(path("copy.log").toStdString(), copy), kLogRead);
        QCOMPARE(copy.m_logView, dlg->run().matches().m_logView);
        QCOMPARE(m_desktop.count("beep"), 1);
    }
};

QTEST_MAIN(PairViewerTest)
#include "pair_viewer_test.moc"
