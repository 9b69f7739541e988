#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "app_paths.h"
#include "main_menus.h"
#include "viewer_test_kit.h"
#include "window_test_kit.h"

namespace {

// Marks and enable states as the Options menu shows them once opened.
struct ItemState {
    bool enabled;
    bool checked;
    bool operator==(const ItemState&) const = default;
};

ItemState optionsItem(CMainDlg& dlg, int id) {
    emit dlg.menus().popup("Options")->aboutToShow();
    const QAction* a = dlg.menus().action(id);
    return {a->isEnabled(), a->isChecked()};
}

void setEdit(QWidget* dialog, int id, const QString& text) {
    auto* edit = control<QLineEdit>(dialog, id);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void clickOk(QWidget* dialog) {
    QTest::mouseClick(control<QPushButton>(dialog, 1), Qt::LeftButton);
}

}  // namespace

class MenuCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fx;
    std::unique_ptr<QObject> m_pollers;

    // Runs `act` on the dialog that command `id` opens; fails when none opens.
    void withDialog(CMainDlg& dlg, int id, std::function<void(QWidget*)> act) {
        bool seen = false;
        onNextModal(m_pollers.get(), [&seen, act](QWidget* dialog) {
            seen = true;
            QPointer<QWidget> alive(dialog);
            act(dialog);
            // A failed check leaves the dialog open; close it so the test ends.
            if (auto* d = qobject_cast<QDialog*>(alive.data()); d != nullptr && d->isVisible()) {
                d->reject();
            }
        });
        dlg.OnCommand(id);
        QVERIFY2(seen, qPrintable(QString::number(id)));
    }

  private slots:
    void init() {
        m_fx = std::make_unique<ViewerFixture>();
        m_pollers = std::make_unique<QObject>();
    }
    void cleanup() {
        m_pollers.reset();
        QCOMPARE(m_fx->prompter().unexpectedCalls(), 0);
        m_fx.reset();
    }

    void optionsMenuFollowsTheSettings() {
        auto dlg = m_fx->makeDlg();
        dlg->run().settings().m_bPauseOnNoDelete = 1;
        dlg->run().settings().m_nDeleteMode = DeleteMode::Manual;
        // Grayed outside automatic mode, but still checked.
        QCOMPARE(optionsItem(*dlg, 32799), (ItemState{false, true}));
        QCOMPARE(optionsItem(*dlg, 32827), (ItemState{true, true}));
        dlg->menus().action(32815)->trigger();
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::SemiAuto);
        QCOMPARE(optionsItem(*dlg, 32799), (ItemState{false, true}));
        QCOMPARE(optionsItem(*dlg, 32827), (ItemState{true, false}));
        dlg->menus().action(32814)->trigger();
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::Automatic);
        QCOMPARE(optionsItem(*dlg, 32799), (ItemState{true, true}));
        QCOMPARE(optionsItem(*dlg, 32814), (ItemState{true, true}));
        dlg->menus().action(32799)->trigger();
        QCOMPARE(dlg->run().settings().m_bPauseOnNoDelete, 0);
        QCOMPARE(optionsItem(*dlg, 32799), (ItemState{true, false}));

        // Switches flip their setting and their mark together.
        const std::pair<int, int TwinlySettings::*> switches[] = {
            {32809, &TwinlySettings::m_bAutoFind},
            {32807, &TwinlySettings::m_bAutoView},
            {32834, &TwinlySettings::m_bBeep},
            {32843, &TwinlySettings::m_bRemindSave},
            {32832, &TwinlySettings::m_bPermanentDelete},
            {32835, &TwinlySettings::m_bShowFileSizes},
            {32842, &TwinlySettings::m_bShowMove}};
        for (const auto& [id, field] : switches) {
            const int before = dlg->run().settings().*field;
            dlg->menus().action(id)->trigger();
            QVERIFY2(dlg->run().settings().*field == 1 - before, qPrintable(QString::number(id)));
            QVERIFY2(optionsItem(*dlg, id).checked == (before == 0),
                     qPrintable(QString::number(id)));
        }
    }

    void moveInsteadOfDeleteNeedsAMoveFolder() {
        auto dlg = m_fx->makeDlg();
        dlg->selectPage(kPageView);
        dlg->run().settings().m_bShowMove = 1;
        dlg->run().settings().m_strMoveFolder = m_fx->path("left").toStdString();
        dlg->run().settings().m_strMoveFolder2 = m_fx->path("right").toStdString();
        dlg->menus().action(32838)->trigger();
        QCOMPARE(dlg->run().settings().m_bMoveTo, 0);
        QCOMPARE(optionsItem(*dlg, 32838), (ItemState{true, false}));
        QCOMPARE(textOf(dlg.get(), 1017), QString("Delete"));
        QCOMPARE(textOf(dlg.get(), 1018), QString("Delete"));

        QVERIFY(QDir().mkpath(m_fx->path("left")));
        dlg->menus().action(32838)->trigger();
        QCOMPARE(dlg->run().settings().m_bMoveTo, 1);
        QCOMPARE(optionsItem(*dlg, 32838), (ItemState{true, true}));
        QCOMPARE(textOf(dlg.get(), 1017), QString("Move"));
        QCOMPARE(textOf(dlg.get(), 1018), QString("Delete"));
        QVERIFY(!control<QWidget>(dlg.get(), 1019)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), 1020)->isVisible());

        // With the right folder too and the option off, both Move buttons show;
        // turning the controls off hides them.
        QVERIFY(QDir().mkpath(m_fx->path("right")));
        dlg->menus().action(32838)->trigger();
        QCOMPARE(textOf(dlg.get(), 1017), QString("Delete"));
        QVERIFY(control<QWidget>(dlg.get(), 1019)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), 1020)->isVisible());
        dlg->menus().action(32842)->trigger();
        QVERIFY(!control<QWidget>(dlg.get(), 1019)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), 1020)->isVisible());

        // Turned on by hand, the Move buttons follow the folders alone, even
        // beside Delete buttons that move.
        dlg->menus().action(32838)->trigger();
        QCOMPARE(textOf(dlg.get(), 1018), QString("Move"));
        dlg->menus().action(32842)->trigger();
        QVERIFY(control<QWidget>(dlg.get(), 1019)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), 1020)->isVisible());
    }

    void findSetupClampsOnOkAndCancelKeepsEverything() {
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, 2);
        const QString summary = textOf(dlg.get(), 1093);
        withDialog(*dlg, 1092, [](QWidget* d) {
            setEdit(d, 1107, "5");
            QTest::mouseClick(control<QRadioButton>(d, 1075), Qt::LeftButton);
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_nDupsLimit, 10);
        QCOMPARE(dlg->run().settings().m_nMethod, 1);
        QVERIFY(textOf(dlg.get(), 1093).contains("weighted euclidean"));

        withDialog(*dlg, 32829, [](QWidget* d) {
            QCOMPARE(control<QLineEdit>(d, 1107)->text(), QString("10"));
            setEdit(d, 1107, "2000000");
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_nDupsLimit, 1000000);

        const TwinlySettings before = dlg->run().settings();
        withDialog(*dlg, 32829, [](QWidget* d) {
            QTest::mouseClick(control<QRadioButton>(d, 1102), Qt::LeftButton);
            setEdit(d, 1107, "50");
            QTest::mouseClick(control<QPushButton>(d, 2), Qt::LeftButton);
        });
        QCOMPARE(dlg->run().settings().m_nMethod, before.m_nMethod);
        QCOMPARE(dlg->run().settings().m_nDupsLimit, 1000000);
        QVERIFY(summary != textOf(dlg.get(), 1093));
    }

    void unlockedFilterStaysForTheRunAndFeedsTheBuild() {
        auto dlg = m_fx->makeDlg();
        QCOMPARE(dlg->run().filterIndex(), 3);
        withDialog(*dlg, 32829, [](QWidget* d) {
            QVERIFY(!control<QComboBox>(d, 1001)->isVisible());
            // Each tolerance edit takes input only under its own restriction.
            QTest::mouseClick(control<QRadioButton>(d, 1064), Qt::LeftButton);
            setEdit(d, 1066, "58");
            QVERIFY(!control<QComboBox>(d, 1001)->isVisible());
            QTest::mouseClick(control<QRadioButton>(d, 1063), Qt::LeftButton);
            setEdit(d, 1065, "37");
            QVERIFY(control<QComboBox>(d, 1001)->isVisible());
            control<QComboBox>(d, 1001)->setCurrentIndex(8);
            clickOk(d);
        });
        QVERIFY(dlg->run().filterUnlocked());
        QCOMPARE(dlg->run().filterIndex(), 8);
        withDialog(*dlg, 32829, [](QWidget* d) {
            setEdit(d, 1065, "1");
            QVERIFY(control<QComboBox>(d, 1001)->isVisible());
            QCOMPARE(control<QComboBox>(d, 1001)->currentText(), QString("Lanczos3"));
            clickOk(d);
        });
        QVERIFY(dlg->run().filterUnlocked());

        // A new start forgets both.
        dlg.reset();
        dlg = m_fx->makeDlg();
        QVERIFY(!dlg->run().filterUnlocked());
        QCOMPARE(dlg->run().filterIndex(), 3);
    }

    void deleteSetupStoresTheDelayAndAppliesTheMoveRule() {
        auto dlg = m_fx->makeDlg();
        withDialog(*dlg, 32816, [](QWidget* d) {
            QCOMPARE(control<QLineEdit>(d, 1114)->text(), QString("400"));
            setEdit(d, 1114, "2500");
            QTest::mouseClick(control<QRadioButton>(d, 1064), Qt::LeftButton);
            control<QCheckBox>(d, 1106)->setChecked(true);
            // "Swap up" on the fifth entry.
            QTest::mouseClick(control<QPushButton>(d, 1001), Qt::LeftButton);
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_nAutoDelay, 2100);
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::Automatic);
        QCOMPARE(dlg->run().settings().m_nDeleteSequence,
                 (std::array<int, 11>{9, 1, 2, 4, 3, 5, 6, 7, 8, 10, 11}));
        // No move folder exists: stored as off.
        QCOMPARE(dlg->run().settings().m_bMoveTo, 0);

        withDialog(*dlg, 32816, [](QWidget* d) {
            QCOMPARE(control<QLineEdit>(d, 1114)->text(), QString("2000"));
            setEdit(d, 1114, "7");
            QTest::mouseClick(control<QRadioButton>(d, 1062), Qt::LeftButton);
            QTest::mouseClick(control<QPushButton>(d, 2), Qt::LeftButton);
        });
        QCOMPARE(dlg->run().settings().m_nAutoDelay, 2100);
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::Automatic);
        dlg.reset();
        QCOMPARE(m_fx->store().readNumber("Dups", "mSec"), std::optional<std::int32_t>(2100));
    }

    void moveFoldersAndDefaultFolders() {
        auto dlg = m_fx->makeDlg();
        dlg->selectPage(kPageView);
        QVERIFY(QDir().mkpath(m_fx->path("right")));
        const QString right = m_fx->path("right");
        withDialog(*dlg, 32839, [&right](QWidget* d) {
            control<QCheckBox>(d, 1104)->setChecked(true);
            setEdit(d, 1107, right + "/missing");
            setEdit(d, 1109, right);
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_bMoveTo, 1);
        QCOMPARE(dlg->run().settings().m_strMoveFolder2, right.toStdString());
        QCOMPARE(textOf(dlg.get(), 1017), QString("Delete"));
        QCOMPARE(textOf(dlg.get(), 1018), QString("Move"));

        const QString data = m_fx->path("mydata");
        withDialog(*dlg, 32844, [&data](QWidget* d) {
            setEdit(d, 1107, data);
            clickOk(d);
        });
        // Stored at once, not only when the window closes.
        QCOMPARE(m_fx->store().readString("1.0", "DupDataPath"),
                 std::optional<std::string>(data.toStdString()));
        QCOMPARE(m_fx->store().readString("1.0", "LogPath"),
                 std::optional<std::string>(m_fx->path("logs").toStdString()));
        withDialog(*dlg, 32844, [](QWidget* d) {
            setEdit(d, 1109, "/elsewhere");
            QTest::mouseClick(control<QPushButton>(d, 2), Qt::LeftButton);
        });
        QCOMPARE(dlg->run().settings().m_strLogPath, m_fx->path("logs").toStdString());
    }

    void listEditorAndFileManager() {
        auto dlg = m_fx->makeDlg();
        RecordingDesktop& desktop = m_fx->desktop();
        dlg->menus().action(32802)->trigger();
        DatafileSlot source;
        source.m_strSourceList = "/lists/my photos.lst";
        dlg->run().setSlotSource(kPrimarySlot, source);
        dlg->menus().action(32802)->trigger();
        QCOMPARE(desktop.count("start"), 2);
        QCOMPARE(desktop.requests[0].target, OrvexExecutable().toStdString());
        QCOMPARE(desktop.requests[0].args, std::vector<std::string>{""});
        QCOMPARE(desktop.requests[1].args, std::vector<std::string>{"/lists/my photos.lst"});

        dlg->menus().action(32781)->trigger();
        source.m_strSourceFolder = m_fx->path("pictures").toStdString();
        dlg->run().setSlotSource(kPrimarySlot, source);
        dlg->menus().action(32781)->trigger();
        QCOMPARE(desktop.count("explore"), 2);
        QCOMPARE(desktop.requests[2].target, QDir::homePath().toStdString());
        QCOMPARE(desktop.requests[3].target, m_fx->path("pictures").toStdString());
    }
};

QTEST_MAIN(MenuCommandsTest)
#include "menu_commands_test.moc"
