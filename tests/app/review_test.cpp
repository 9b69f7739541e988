#include <QFile>
#include <QLabel>
#include <QTest>

#include "job_controller.h"
#include "job_test_kit.h"
#include "main_ids.h"
#include "not_dup_list.h"

namespace {

QByteArray readAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const std::string& path, const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The log pairs the two files, in either order.
bool logPairs(const QByteArray& log, const std::string& a, const std::string& b) {
    const auto pair = [](const std::string& first, const std::string& second) {
        return QByteArray("Image 1 path: ") + first.c_str() +
               "\r\nImage 2 path: " + second.c_str() + "\r\n";
    };
    return log.contains(pair(a, b)) || log.contains(pair(b, a));
}

}  // namespace

class ReviewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<JobWindowFixture> m_fx;
    std::vector<std::string> m_images;

    std::string listPath() const { return NotDupListPath(m_fx->path("data")); }
    std::string logPath() const { return m_fx->path("logs/Dups.log"); }

    std::unique_ptr<CMainDlg> windowWithPrimary() {
        return m_fx->windowWithOneCopy(this, m_images);
    }

    // Runs a find to its end; the log it wrote.
    static QByteArray find(CMainDlg& dlg, const std::string& log) {
        QFile::remove(QString::fromStdString(log));
        dlg.selectPage(kPageFind);
        dlg.OnCommand(MainId::FindDups);
        if (!QTest::qWaitFor(
                [&] {
                    return !dlg.jobs().isRunning() && QFile::exists(QString::fromStdString(log));
                },
                20000)) {
            return {};
        }
        return readAll(log);
    }

  private slots:
    void init() { m_fx = std::make_unique<JobWindowFixture>(); }
    void cleanup() { m_fx.reset(); }

    void aPairMarkedNotDuplicateIsLeftOutOfTheNextFindUntilForgotten() {
        auto dlg = windowWithPrimary();
        dlg->run().settings().m_bAutoView = 1;
        QVERIFY(logPairs(find(*dlg, logPath()), m_images[1], m_images[4]));
        QTRY_COMPARE_WITH_TIMEOUT(dlg->currentPage(), kPageView, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(textOf(dlg.get(), MainId::ViewTitle),
                                  QString("Viewing pair 1 of 1"), 5000);

        QTest::keyClick(dlg.get(), Qt::Key_N);
        NotDupList list;
        std::string problem;
        QCOMPARE(ReadNotDupList(listPath(), list, problem), NotDupReadResult::Read);
        QCOMPARE(list.count(), 1);
        QVERIFY(list.find(m_images[1], m_images[4]) != nullptr);
        QCOMPARE(m_fx->prompter().calls().size(), std::size_t{0});

        dlg->run().settings().m_bAutoView = 0;
        const QByteArray without = find(*dlg, logPath());
        QVERIFY(without.contains("; Pairs marked not duplicate left out: 1\r\n"));
        QVERIFY(without.contains("; Match total: 0\r\n"));
        QVERIFY(!logPairs(without, m_images[1], m_images[4]));

        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        dlg->OnCommand(MainId::MenuForgetNotDuplicates);
        QCOMPARE(m_fx->prompter().messageTexts().back(),
                 std::string("Forget the 1 pair marked not a duplicate?\n\n"
                             "Later searches will show them again."));
        QCOMPARE(ReadNotDupList(listPath(), list, problem), NotDupReadResult::Read);
        QCOMPARE(list.count(), 0);
        QVERIFY(logPairs(find(*dlg, logPath()), m_images[1], m_images[4]));
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }

    void aChangedFileIsComparedAgain() {
        auto dlg = windowWithPrimary();
        std::string problem;
        QCOMPARE(MarkNotDuplicate(listPath(), m_images[1], m_images[4], problem),
                 NotDupChange::Changed);
        QVERIFY(!logPairs(find(*dlg, logPath()), m_images[1], m_images[4]));
        // One byte more at the end leaves the picture as it was but not the file.
        QVERIFY(writeBytes(m_images[4], readAll(m_images[4]) + QByteArray(1, '\0')));
        QVERIFY(logPairs(find(*dlg, logPath()), m_images[1], m_images[4]));
    }

    void aDamagedListAsksWhetherToSearchWithoutIt() {
        auto dlg = windowWithPrimary();
        QDir().mkpath(m_fx->qpath("data"));
        QVERIFY(writeBytes(listPath(), "not a list of pairs\r\n"));
        const QByteArray damaged = readAll(listPath());

        const QByteArray oldLog = readAll(logPath());
        m_fx->prompter().answerMessage(PromptAnswer::No);
        dlg->OnCommand(MainId::FindDups);
        QVERIFY(!dlg->jobs().isRunning());
        QCOMPARE(readAll(logPath()), oldLog);
        QVERIFY(QString::fromStdString(m_fx->prompter().messageTexts().back())
                    .startsWith("The list of pairs marked not a duplicate cannot be read ("));

        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        QVERIFY(logPairs(find(*dlg, logPath()), m_images[1], m_images[4]));
        // Searching without it never repairs or replaces it.
        QCOMPARE(readAll(listPath()), damaged);

        // Forgetting is the way out of the damage.
        m_fx->prompter().answerMessage(PromptAnswer::Yes);
        dlg->OnCommand(MainId::MenuForgetNotDuplicates);
        NotDupList list;
        std::string problem;
        QCOMPARE(ReadNotDupList(listPath(), list, problem), NotDupReadResult::Read);
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
    }
};

QTEST_MAIN(ReviewTest)
#include "review_test.moc"
