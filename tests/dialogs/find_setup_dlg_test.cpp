#include <QCheckBox>
#include <QComboBox>
#include <QObject>
#include <QTest>

#include "desktop.h"
#include "dialog_test_kit.h"
#include "find_setup_dlg.h"

class FindSetupDlgTest : public QObject {
    Q_OBJECT

    RecordingDesktop m_desktop;

    bool filterShown(const CFindSetupDlg& dlg) const {
        return Control<QWidget>(&dlg, FindSetupId::Filter)->isVisible() &&
               Control<QWidget>(&dlg, FindSetupId::FilterLabel)->isVisible();
    }

  private slots:
    void numbersAreClampedOnOk_data() {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<QString>("aspect");
        QTest::addColumn<int>("wantLimit");
        QTest::addColumn<int>("wantAspect");
        QTest::newRow("small") << "5"
                               << "-3" << 10 << 0;
        QTest::newRow("huge") << "2000000"
                              << "250" << 1000000 << 100;
        QTest::newRow("empty") << ""
                               << "" << 10 << 0;
        QTest::newRow("leading digits") << "1500 pairs"
                                        << "12.9" << 1500 << 12;
    }
    void numbersAreClampedOnOk() {
        QFETCH(QString, limit);
        QFETCH(QString, aspect);
        CFindSetupDlg dlg(m_desktop);
        dlg.show();
        Click(&dlg,
              FindSetupId::RestrictAspect);  // the aspect edit is enabled only with its restriction
        Type(&dlg, FindSetupId::DupsLimit, limit);
        Type(&dlg, FindSetupId::AspectTolerance, aspect);
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QTEST(dlg.m_nDupsLimit, "wantLimit");
        QTEST(dlg.m_nAspectTol, "wantAspect");
        QCOMPARE(dlg.m_strDupsLimit, limit.toStdString());
        QCOMPARE(dlg.m_nMatchRestriction, MatchRestriction::SameAspect);
    }

    void enableRulesFollowTheChoices() {
        CFindSetupDlg dlg(m_desktop);
        dlg.m_nAspectTol = 250;  // out of range, with the restriction off
        dlg.m_nSizeTol = 7;
        dlg.m_bAdjustColor = 0;
        dlg.show();
        QVERIFY(!Control<QWidget>(&dlg, FindSetupId::AspectTolerance)->isEnabled());
        QVERIFY(!Control<QWidget>(&dlg, FindSetupId::SizeTolerance)->isEnabled());
        QCOMPARE(TextOf(&dlg, FindSetupId::AspectTolerance), QStringLiteral("250"));
        QVERIFY(!Control<QWidget>(&dlg, FindSetupId::AdjustAmount)->isEnabled());
        Click(&dlg, FindSetupId::RestrictSize);
        QVERIFY(!Control<QWidget>(&dlg, FindSetupId::AspectTolerance)->isEnabled());
        QVERIFY(Control<QWidget>(&dlg, FindSetupId::SizeTolerance)->isEnabled());
        Click(&dlg, FindSetupId::Adjust);
        QVERIFY(Control<QWidget>(&dlg, FindSetupId::AdjustAmount)->isEnabled());
        Click(&dlg, FindSetupId::RestrictNone);
        Click(&dlg, kIdOk);
        // Disabled edits still hand back their clamped values.
        QCOMPARE(dlg.m_nAspectTol, 100);
        QCOMPARE(dlg.m_nSizeTol, 7);
        QCOMPARE(dlg.m_bAdjustColor, 1);
        QCOMPARE(dlg.m_nMatchRestriction, MatchRestriction::None);
    }

    void cancelChangesNothing() {
        CFindSetupDlg dlg(m_desktop);
        dlg.m_nMethod = 1;
        dlg.m_nDupsLimit = 500;
        dlg.show();
        Click(&dlg, FindSetupId::MethodLuminance);
        Click(&dlg, FindSetupId::Mirror);
        Click(&dlg, FindSetupId::Rotation);
        Type(&dlg, FindSetupId::DupsLimit, "5");
        Click(&dlg, kIdCancel);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(dlg.m_nMethod, 1);
        QCOMPARE(dlg.m_bCheckMirror, 0);
        QCOMPARE(dlg.m_bCheckRotation, 0);
        QCOMPARE(dlg.m_nDupsLimit, 500);

        dlg.show();
        Click(&dlg, FindSetupId::MethodLuminance);
        Click(&dlg, FindSetupId::Rotation);
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.m_nMethod, 3);
        QCOMPARE(dlg.m_bCheckRotation, 1);
        QCOMPARE(dlg.m_bCheckMirror, 0);

        // The check starts as the caller's field says.
        dlg.show();
        QVERIFY(Control<QCheckBox>(&dlg, FindSetupId::Rotation)->isChecked());
        Click(&dlg, FindSetupId::Rotation);
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.m_bCheckRotation, 0);
    }

    void accessTolerancesUnlockTheFilter() {
        CFindSetupDlg dlg(m_desktop);
        dlg.show();
        QVERIFY(!filterShown(dlg));
        Click(&dlg, FindSetupId::RestrictSize);
        Type(&dlg, FindSetupId::SizeTolerance, "58");
        QVERIFY(!filterShown(dlg));
        Click(&dlg, FindSetupId::RestrictAspect);
        Type(&dlg, FindSetupId::AspectTolerance, "37");
        QVERIFY(filterShown(dlg));
        // Once shown the list stays, whatever the tolerances say afterwards.
        Type(&dlg, FindSetupId::AspectTolerance, "3");
        QVERIFY(filterShown(dlg));
        auto* filter = Control<QComboBox>(&dlg, FindSetupId::Filter);
        filter->setCurrentIndex(filter->findText("Lanczos3"));
        Click(&dlg, kIdCancel);
        QCOMPARE(dlg.m_bFilterUnlocked, 0);
        QCOMPARE(dlg.m_nFilterIndex, 3);

        dlg.show();
        QVERIFY(!filterShown(dlg));
        Click(&dlg, FindSetupId::RestrictAspect);
        Type(&dlg, FindSetupId::AspectTolerance, "37");
        Click(&dlg, FindSetupId::RestrictSize);
        Type(&dlg, FindSetupId::SizeTolerance, "58");
        QVERIFY(filterShown(dlg));
        filter->setCurrentIndex(filter->findText("Lanczos3"));
        Click(&dlg, kIdOk);
        QCOMPARE(dlg.m_bFilterUnlocked, 1);
        QCOMPARE(dlg.m_nFilterIndex, 8);

        // The caller keeps the flag: later openings show the list at once.
        CFindSetupDlg later(m_desktop);
        later.m_bFilterUnlocked = 1;
        later.m_nFilterIndex = 99;
        later.show();
        QVERIFY(filterShown(later));
        QCOMPARE(filter->count(), 14);
        QCOMPARE(Control<QComboBox>(&later, FindSetupId::Filter)->currentText(),
                 QStringLiteral("Gaussian"));
        Click(&later, kIdHelp);
        QCOMPARE(m_desktop.requests.back().target, std::string("finddupssetup.html"));
    }
};

int RunFindSetupDlgTests(int argc, char** argv) {
    FindSetupDlgTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "find_setup_dlg_test.moc"
