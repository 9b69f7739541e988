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
#include "delete_setup_dlg.h"
#include "dialog_kit.h"
#include "find_setup_dlg.h"
#include "folder_prefs_dlg.h"
#include "main_ids.h"
#include "main_menus.h"
#include "move_folder_dlg.h"
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
    QTest::mouseClick(control<QPushButton>(dialog, kIdOk), Qt::LeftButton);
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
        QCOMPARE(optionsItem(*dlg, MainId::MenuPauseOnNoDelete), (ItemState{false, true}));
        QCOMPARE(optionsItem(*dlg, MainId::MenuManualDelete), (ItemState{true, true}));
        dlg->menus().action(MainId::MenuSemiAutoDelete)->trigger();
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::SemiAuto);
        QCOMPARE(optionsItem(*dlg, MainId::MenuPauseOnNoDelete), (ItemState{false, true}));
        QCOMPARE(optionsItem(*dlg, MainId::MenuManualDelete), (ItemState{true, false}));
        dlg->menus().action(MainId::MenuAutomaticDelete)->trigger();
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::Automatic);
        QCOMPARE(optionsItem(*dlg, MainId::MenuPauseOnNoDelete), (ItemState{true, true}));
        QCOMPARE(optionsItem(*dlg, MainId::MenuAutomaticDelete), (ItemState{true, true}));
        dlg->menus().action(MainId::MenuPauseOnNoDelete)->trigger();
        QCOMPARE(dlg->run().settings().m_bPauseOnNoDelete, 0);
        QCOMPARE(optionsItem(*dlg, MainId::MenuPauseOnNoDelete), (ItemState{true, false}));

        // Switches flip their setting and their mark together.
        const std::pair<int, int TwinlySettings::*> switches[] = {
            {MainId::MenuAutoFind, &TwinlySettings::m_bAutoFind},
            {MainId::MenuAutoView, &TwinlySettings::m_bAutoView},
            {MainId::MenuBeep, &TwinlySettings::m_bBeep},
            {MainId::MenuRemindSave, &TwinlySettings::m_bRemindSave},
            {MainId::MenuPermanentDelete, &TwinlySettings::m_bPermanentDelete},
            {MainId::MenuShowFileSizes, &TwinlySettings::m_bShowFileSizes},
            {MainId::MenuShowMove, &TwinlySettings::m_bShowMove}};
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
        dlg->menus().action(MainId::MenuMoveInstead)->trigger();
        QCOMPARE(dlg->run().settings().m_bMoveTo, 0);
        QCOMPARE(optionsItem(*dlg, MainId::MenuMoveInstead), (ItemState{true, false}));
        QCOMPARE(textOf(dlg.get(), MainId::LeftDelete), QString("Delete"));
        QCOMPARE(textOf(dlg.get(), MainId::RightDelete), QString("Delete"));

        QVERIFY(QDir().mkpath(m_fx->path("left")));
        dlg->menus().action(MainId::MenuMoveInstead)->trigger();
        QCOMPARE(dlg->run().settings().m_bMoveTo, 1);
        QCOMPARE(optionsItem(*dlg, MainId::MenuMoveInstead), (ItemState{true, true}));
        QCOMPARE(textOf(dlg.get(), MainId::LeftDelete), QString("Move"));
        QCOMPARE(textOf(dlg.get(), MainId::RightDelete), QString("Delete"));
        QVERIFY(!control<QWidget>(dlg.get(), MainId::LeftMove)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::RightMove)->isVisible());

        // With the right folder too and the option off, both Move buttons show;
        // turning the controls off hides them.
        QVERIFY(QDir().mkpath(m_fx->path("right")));
        dlg->menus().action(MainId::MenuMoveInstead)->trigger();
        QCOMPARE(textOf(dlg.get(), MainId::LeftDelete), QString("Delete"));
        QVERIFY(control<QWidget>(dlg.get(), MainId::LeftMove)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), MainId::RightMove)->isVisible());
        dlg->menus().action(MainId::MenuShowMove)->trigger();
        QVERIFY(!control<QWidget>(dlg.get(), MainId::LeftMove)->isVisible());
        QVERIFY(!control<QWidget>(dlg.get(), MainId::RightMove)->isVisible());

        // Turned on by hand, the Move buttons follow the folders alone, even
        // beside Delete buttons that move.
        dlg->menus().action(MainId::MenuMoveInstead)->trigger();
        QCOMPARE(textOf(dlg.get(), MainId::RightDelete), QString("Move"));
        dlg->menus().action(MainId::MenuShowMove)->trigger();
        QVERIFY(control<QWidget>(dlg.get(), MainId::LeftMove)->isVisible());
        QVERIFY(control<QWidget>(dlg.get(), MainId::RightMove)->isVisible());
    }

    void findSetupClampsOnOkAndCancelKeepsEverything() {
        auto dlg = m_fx->makeDlg();
        ViewerFixture::clickTab(*dlg, 2);
        const QString summary = textOf(dlg.get(), MainId::SettingsText);
        withDialog(*dlg, MainId::FindSetup, [](QWidget* d) {
            setEdit(d, FindSetupId::DupsLimit, "5");
            QTest::mouseClick(control<QRadioButton>(d, FindSetupId::MethodWeighted),
                              Qt::LeftButton);
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_nDupsLimit, 10);
        QCOMPARE(dlg->run().settings().m_nMethod, 1);
        QVERIFY(textOf(dlg.get(), MainId::SettingsText).contains("weighted euclidean"));

        withDialog(*dlg, MainId::MenuFindSetup, [](QWidget* d) {
            QCOMPARE(control<QLineEdit>(d, FindSetupId::DupsLimit)->text(), QString("10"));
            setEdit(d, FindSetupId::DupsLimit, "2000000");
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_nDupsLimit, 1000000);

        const TwinlySettings before = dlg->run().settings();
        withDialog(*dlg, MainId::MenuFindSetup, [](QWidget* d) {
            QTest::mouseClick(control<QRadioButton>(d, FindSetupId::MethodLuminance),
                              Qt::LeftButton);
            setEdit(d, FindSetupId::DupsLimit, "50");
            QTest::mouseClick(control<QPushButton>(d, kIdCancel), Qt::LeftButton);
        });
        QCOMPARE(dlg->run().settings().m_nMethod, before.m_nMethod);
        QCOMPARE(dlg->run().settings().m_nDupsLimit, 1000000);
        QVERIFY(summary != textOf(dlg.get(), MainId::SettingsText));
    }

    void unlockedFilterStaysForTheRunAndFeedsTheBuild() {
        auto dlg = m_fx->makeDlg();
        QCOMPARE(dlg->run().filterIndex(), 3);
        withDialog(*dlg, MainId::MenuFindSetup, [](QWidget* d) {
            QVERIFY(!control<QComboBox>(d, FindSetupId::Filter)->isVisible());
            // Each tolerance edit takes input only under its own restriction.
            QTest::mouseClick(control<QRadioButton>(d, FindSetupId::RestrictSize), Qt::LeftButton);
            setEdit(d, FindSetupId::SizeTolerance, "58");
            QVERIFY(!control<QComboBox>(d, FindSetupId::Filter)->isVisible());
            QTest::mouseClick(control<QRadioButton>(d, FindSetupId::RestrictAspect),
                              Qt::LeftButton);
            setEdit(d, FindSetupId::AspectTolerance, "37");
            QVERIFY(control<QComboBox>(d, FindSetupId::Filter)->isVisible());
            control<QComboBox>(d, FindSetupId::Filter)->setCurrentIndex(8);
            clickOk(d);
        });
        QVERIFY(dlg->run().filterUnlocked());
        QCOMPARE(dlg->run().filterIndex(), 8);
        withDialog(*dlg, MainId::MenuFindSetup, [](QWidget* d) {
            setEdit(d, FindSetupId::AspectTolerance, "1");
            QVERIFY(control<QComboBox>(d, FindSetupId::Filter)->isVisible());
            QCOMPARE(control<QComboBox>(d, FindSetupId::Filter)->currentText(),
                     QString("Lanczos3"));
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
        withDialog(*dlg, MainId::MenuDeleteSetup, [](QWidget* d) {
            QCOMPARE(control<QLineEdit>(d, DeleteSetupId::Delay)->text(), QString("400"));
            setEdit(d, DeleteSetupId::Delay, "2500");
            QTest::mouseClick(control<QRadioButton>(d, DeleteSetupId::ModeAutomatic),
                              Qt::LeftButton);
            control<QCheckBox>(d, DeleteSetupId::MoveInstead)->setChecked(true);
            // "Swap up" on the fifth entry.
            QTest::mouseClick(control<QPushButton>(d, DeleteSetupId::SwapUp), Qt::LeftButton);
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_nAutoDelay, 2100);
        QCOMPARE(dlg->run().settings().m_nDeleteMode, DeleteMode::Automatic);
        QCOMPARE(dlg->run().settings().m_nDeleteSequence,
                 (std::array<int, 11>{9, 1, 2, 4, 3, 5, 6, 7, 8, 10, 11}));
        // No move folder exists: stored as off.
        QCOMPARE(dlg->run().settings().m_bMoveTo, 0);

        withDialog(*dlg, MainId::MenuDeleteSetup, [](QWidget* d) {
            QCOMPARE(control<QLineEdit>(d, DeleteSetupId::Delay)->text(), QString("2000"));
            setEdit(d, DeleteSetupId::Delay, "7");
            QTest::mouseClick(control<QRadioButton>(d, DeleteSetupId::ModeOff), Qt::LeftButton);
            QTest::mouseClick(control<QPushButton>(d, kIdCancel), Qt::LeftButton);
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
        withDialog(*dlg, MainId::MenuMoveFolders, [&right](QWidget* d) {
            control<QCheckBox>(d, MoveFolderId::MoveOnly)->setChecked(true);
            setEdit(d, MoveFolderId::LeftFolder, right + "/missing");
            setEdit(d, MoveFolderId::RightFolder, right);
            clickOk(d);
        });
        QCOMPARE(dlg->run().settings().m_bMoveTo, 1);
        QCOMPARE(dlg->run().settings().m_strMoveFolder2, right.toStdString());
        QCOMPARE(textOf(dlg.get(), MainId::LeftDelete), QString("Delete"));
        QCOMPARE(textOf(dlg.get(), MainId::RightDelete), QString("Move"));

        const QString data = m_fx->path("mydata");
        withDialog(*dlg, MainId::MenuFolderPrefs, [&data](QWidget* d) {
            setEdit(d, FolderPrefsId::DataFolder, data);
            clickOk(d);
        });
        // Stored at once, not only when the window closes.
        QCOMPARE(m_fx->store().readString("1.0", "DupDataPath"),
                 std::optional<std::string>(data.toStdString()));
        QCOMPARE(m_fx->store().readString("1.0", "LogPath"),
                 std::optional<std::string>(m_fx->path("logs").toStdString()));
        withDialog(*dlg, MainId::MenuFolderPrefs, [](QWidget* d) {
            setEdit(d, FolderPrefsId::LogFolder, "/elsewhere");
            QTest::mouseClick(control<QPushButton>(d, kIdCancel), Qt::LeftButton);
        });
        QCOMPARE(dlg->run().settings().m_strLogPath, m_fx->path("logs").toStdString());
    }

    void listEditorAndFileManager() {
        auto dlg = m_fx->makeDlg();
        RecordingDesktop& desktop = m_fx->desktop();
        dlg->menus().action(MainId::MenuOpenImageList)->trigger();
        DatafileSlot source;
        source.m_strSourceList = "/lists/my photos.lst";
        dlg->run().setSlotSource(kPrimarySlot, source);
        dlg->menus().action(MainId::MenuOpenImageList)->trigger();
        QCOMPARE(desktop.count("start"), 2);
        QCOMPARE(desktop.requests[0].target, OrvexExecutable().toStdString());
        QCOMPARE(desktop.requests[0].args, std::vector<std::string>{""});
        QCOMPARE(desktop.requests[1].args, std::vector<std::string>{"/lists/my photos.lst"});

        dlg->menus().action(MainId::MenuExplore)->trigger();
        source.m_strSourceFolder = m_fx->path("pictures").toStdString();
        dlg->run().setSlotSource(kPrimarySlot, source);
        dlg->menus().action(MainId::MenuExplore)->trigger();
        QCOMPARE(desktop.count("explore"), 2);
        QCOMPARE(desktop.requests[2].target, QDir::homePath().toStdString());
        QCOMPARE(desktop.requests[3].target, m_fx->path("pictures").toStdString());
    }
};

QTEST_MAIN(MenuCommandsTest)
#include "menu_commands_test.moc"
