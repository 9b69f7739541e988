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
        auto* list = Control<QListWidget>(&dlg, 1096);
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
        auto* list = Control<QListWidget>(&dlg, 1096);
        QCOMPARE(list->count(), 11);
        QCOMPARE(list->item(0)->text(), QStringLiteral("-- No delete/move -------------"));
        QCOMPARE(list->currentRow(), 4);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Later file creation"));
    }

    void swapsMoveTheSelectedEntry() {
        CDeleteSetupDlg dlg(m_desktop);
        dlg.show();
        auto* list = Control<QListWidget>(&dlg, 1096);
        const QStringList before = entries(dlg);
        list->setCurrentRow(0);
        Click(&dlg, 1001);
        QCOMPARE(entries(dlg), before);
        list->setCurrentRow(10);
        Click(&dlg, 1002);
        QCOMPARE(entries(dlg), before);
        QCOMPARE(list->currentRow(), 10);

        list->setCurrentRow(4);  // "Later file creation"
        Click(&dlg, 1001);
        Click(&dlg, 1001);
        QCOMPARE(list->currentRow(), 2);
        Click(&dlg, 1002);
        QCOMPARE(list->currentRow(), 3);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Later file creation"));
        Click(&dlg, 1);
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
        QCOMPARE(TextOf(&dlg, 1114), QStringLiteral("400"));
        Type(&dlg, 1114, typed);
        Click(&dlg, 1);
        QTEST(dlg.m_nDelay, "stored");
        dlg.show();
        QCOMPARE(TextOf(&dlg, 1114), QString::number(dlg.m_nDelay - 100));
    }

    void modeSwitchesTheExplanationAndThePause() {
        CDeleteSetupDlg dlg(m_desktop);
        dlg.m_nMode = DeleteMode::Automatic;
        dlg.m_bPause = 1;
        dlg.show();
        QVERIFY(Control<QWidget>(&dlg, 1104)->isVisible());
        QVERIFY(Control<QWidget>(&dlg, 1097)->isVisible());
        QVERIFY(!Control<QWidget>(&dlg, 1098)->isVisible());
        QCOMPARE(TextOf(&dlg, 1097), QString::fromLatin1(CDeleteSetupDlg::kAutomaticExplanation));
        Click(&dlg, 1062);
        QVERIFY(!Control<QWidget>(&dlg, 1104)->isVisible());
        QVERIFY(!Control<QWidget>(&dlg, 1097)->isVisible());
        QVERIFY(Control<QWidget>(&dlg, 1098)->isVisible());
        Click(&dlg, 1105);
        Click(&dlg, 1);
        QCOMPARE(dlg.m_nMode, DeleteMode::Manual);
        QCOMPARE(dlg.m_bPause, 1);  // kept while hidden
        QCOMPARE(dlg.m_bPermanent, 1);

        dlg.show();
        QVERIFY(!Control<QWidget>(&dlg, 1104)->isVisible());
        Click(&dlg, 1106);
        Click(&dlg, 1064);
        QVERIFY(Control<QWidget>(&dlg, 1104)->isVisible());
        Click(&dlg, 1000);
        Click(&dlg, 2);
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
