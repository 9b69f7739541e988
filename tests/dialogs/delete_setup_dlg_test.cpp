#include <QListWidget>
#include <QObject>
#include <QTest>

#include "delete_criteria.h"
#include "delete_setup_dlg.h"
#include "desktop.h"
#include "dialog_test_kit.h"

class DeleteSetupDlgTest : public QObject {
    Q_OBJECT

    RecordingDesktop m_desktop;

    static QStringList entries(const CDeleteSetupDlg& dlg) {
        auto* list = Control<QListWidget>(&dlg, DeleteSetupId::Criteria);
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            out << list->item(i)->text();
        }
        return out;
    }

  private slots:
    void defaultSequenceOpensOnTheFifthEntry() {
        CDeleteSetupDlg dlg(m_desktop);
        dlg.show();
        auto* list = Control<QListWidget>(&dlg, DeleteSetupId::Criteria);
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->item(0)->text(), QStringLiteral("-- No delete/move -------------"));
        QCOMPARE(list->currentRow(), 4);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Later file creation"));
    }

    void swapsMoveTheSelectedEntry() {
        CDeleteSetupDlg dlg(m_desktop);
        dlg.show();
        auto* list = Control<QListWidget>(&dlg, DeleteSetupId::Criteria);
        const QStringList before = entries(dlg);
        list->setCurrentRow(0);
        Click(&dlg, DeleteSetupId::SwapUp);
        QCOMPARE(entries(dlg), before);
        list->setCurrentRow(10);
        Click(&dlg, DeleteSetupId::SwapDown);
        QCOMPARE(entries(dlg), before);
        QCOMPARE(list->currentRow(), 10);

        list->setCurrentRow(4);  // "Later file creation"
        Click(&dlg, DeleteSetupId::SwapUp);
        Click(&dlg, DeleteSetupId::SwapUp);
        QCOMPARE(list->currentRow(), 2);
        Click(&dlg, DeleteSetupId::SwapDown);
        QCOMPARE(list->currentRow(), 3);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Later file creation"));
        Click(&dlg, kIdOk);
        const std::array<int, 11> want{9, 1, 2, 4, 3, 5, 6, 7, 8, 10, 11};
        QCOMPARE(dlg.m_nSequence, want);
    }

    void unknownCodesAddNothing() {
        CDeleteSetupDlg dlg(m_desktop);
        dlg.m_nSequence = {9, 1, 2, 0, 4, 5, 6, 7, 8, 10, 12};
        dlg.show();
        QCOMPARE(entries(dlg).size(), 9);
    }

    void delayIsShownLessAHundredAndClamped_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("too long") << "2500" << 2100;
        QTest::newRow("negative") << "-5" << 100;
        QTest::newRow("no digits") << "soon" << 100;
        QTest::newRow("in range") << "250" << 350;
    }
    void delayIsShownLessAHundredAndClamped() {
        QFETCH(QString, typed);
        CDeleteSetupDlg dlg(m_desktop);
        dlg.m_nDelay = 500;
        dlg.show();
        QCOMPARE(TextOf(&dlg, DeleteSetupId::Delay), QStringLiteral("400"));
        Type(&dlg, DeleteSetupId::Delay, typed);
        Click(&dlg, kIdOk);
        QTEST(dlg.m_nDelay, "stored");
        dlg.show();
        QCOMPARE(TextOf(&dlg, DeleteSetupId::Delay), QString::number(dlg.m_nDelay - 100));
    }

    void modeSwitchesTheExplanationAndThePause() {
        CDeleteSetupDlg dlg(m_desktop);
        dlg.m_nMode = DeleteMode::Automatic;
        dlg.m_bPause = 1;
        dlg.show();
        QVERIFY(Control<QWidget>(&dlg, DeleteSetupId::Pause)->isVisible());
        QVERIFY(Control<QWidget>(&dlg, DeleteSetupId::AutomaticText)->isVisible());
        QVERIFY(!Control<QWidget>(&dlg, DeleteSetupId::OtherText)->isVisible());
        QCOMPARE(TextOf(&dlg, DeleteSetupId::AutomaticText),
                 QString::fromLatin1(CDeleteSetupDlg::kAutomaticExplanation));
        Click(&dlg, DeleteSetupId::ModeOff);
        QVERIFY(!Control<QWidget>(&dlg, DeleteSetupId::Pause)->isVisible());
        QVERIFY(!Control<QWidget>(&dlg, DeleteSetupId::AutomaticText)->isVisible());
        QVERIFY(Control<QWidget>(&dlg, DeleteSetupId::OtherText)->isVisible());
        Click(&dlg, DeleteSetupId::Permanent);
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.m_nMode, DeleteMode::Manual);
        QCOMPARE(dlg.m_bPause, 1);  // kept while hidden
        QCOMPARE(dlg.m_bPermanent, 1);

        dlg.show();
        QVERIFY(!Control<QWidget>(&dlg, DeleteSetupId::Pause)->isVisible());
        Click(&dlg, DeleteSetupId::MoveInstead);
        Click(&dlg, DeleteSetupId::ModeAutomatic);
        QVERIFY(Control<QWidget>(&dlg, DeleteSetupId::Pause)->isVisible());
        Click(&dlg, kIdHelp);
        Click(&dlg, kIdCancel);
        QCOMPARE(dlg.m_nMode, DeleteMode::Manual);
        QCOMPARE(dlg.m_bMoveInstead, 0);
        QCOMPARE(m_desktop.requests.back().target, std::string("deletesetup.html"));
    }
};

int RunDeleteSetupDlgTests(int argc, char** argv) {
    DeleteSetupDlgTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "delete_setup_dlg_test.moc"
