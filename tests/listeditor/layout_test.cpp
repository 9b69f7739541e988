#include <QPushButton>
#include <QTest>
#include <map>

#include "control_ids.h"
#include "desktop.h"
#include "eliding_label.h"
#include "layout_engine.h"
#include "list_editor_dlg.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace {

using namespace ListEditorId;

const std::vector<int> kColumn = {SizeLabel,    Preview,      Explore,         New,
                                  Open,         AddFiles,     AddFolder,       IncludeSubfolders,
                                  NoSubfolders, AddImageList, DeleteSelection, Verify,
                                  Save,         SaveAs,       GetCount};
const std::vector<int> kBottomRight = {Help, Cancel, Ok};
const std::vector<int> kStretched = {List, ListName, Status};

QWidget* control(QWidget* root, int id) {
    return FindControl<QWidget>(root, id);
}

std::map<int, QRect> geometries(QWidget* root) {
    std::map<int, QRect> result;
    for (int id : kColumn)
        result[id] = control(root, id)->geometry();
    for (int id : kBottomRight)
        result[id] = control(root, id)->geometry();
    for (int id : kStretched)
        result[id] = control(root, id)->geometry();
    return result;
}

QWidget* child(QWidget* parent, int id, QRect rect) {
    auto* w = new QPushButton(parent);
    SetControlId(w, id);
    w->setGeometry(rect);
    return w;
}

LayoutAnchor at(int edge, int kind = LayoutAnchor::Offset) {
    return {kind, 0, edge};
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT
  private slots:
    void editorFollowsWidthAndHeight();
    void editorHasAMinimumSize();
    void overlappingControlCollapsesAndComesBack();
    void proportionalAndKeptSizes();
};

void LayoutTest::editorFollowsWidthAndHeight() {
    TempDir dir;
    QSettingsStore store(QString::fromStdString(dir.file("s.ini")));
    ScriptedPrompter prompter;
    RecordingDesktop desktop;
    CListEditorDlg dlg(store, prompter, desktop);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QSize start = dlg.size();
    const auto before = geometries(&dlg);

    dlg.resize(start.width() + 100, start.height());
    QTRY_COMPARE(control(&dlg, List)->width(), before.at(List).width() + 100);
    auto after = geometries(&dlg);
    for (int id : kStretched) {
        QCOMPARE(after.at(id), before.at(id).adjusted(0, 0, 100, 0));
    }
    for (int id : kColumn) {
        QCOMPARE(after.at(id), before.at(id).translated(100, 0));
    }
    for (int id : kBottomRight) {
        QCOMPARE(after.at(id), before.at(id).translated(100, 0));
    }

    dlg.resize(start.width(), start.height() + 50);
    QTRY_COMPARE(control(&dlg, List)->height(), before.at(List).height() + 50);
    after = geometries(&dlg);
    QCOMPARE(after.at(List), before.at(List).adjusted(0, 0, 0, 50));
    QCOMPARE(after.at(Status), before.at(Status).translated(0, 50));
    QCOMPARE(after.at(ListName), before.at(ListName));
    for (int id : kBottomRight) {
        QCOMPARE(after.at(id), before.at(id).translated(0, 50));
    }
    for (int id : kColumn) {
        QCOMPARE(after.at(id), before.at(id));
    }
}

void LayoutTest::editorHasAMinimumSize() {
    TempDir dir;
    QSettingsStore store(QString::fromStdString(dir.file("s.ini")));
    ScriptedPrompter prompter;
    RecordingDesktop desktop;
    CListEditorDlg dlg(store, prompter, desktop);
    dlg.show();
    dlg.resize(200, 200);
    QTRY_COMPARE(dlg.size(), QSize(300, 510));
    // At the smallest size the button column still clears the bottom row.
    for (int id : kColumn) {
        QVERIFY2(!dlg.layoutEngine().collapsed(id), qPrintable(QString::number(id)));
    }
    // The status line is narrow there: it shortens its text visibly rather
    // than cutting it off, and keeps the whole text.
    auto* status = dlg.findChild<ElidingLabel*>(ControlName(Status));
    QVERIFY(status);
    const QString text = "12 folders and 3,456 files in the list";
    status->setText(text);
    QVERIFY(status->isElided());
    QCOMPARE(status->text(), text);
    dlg.resize(900, 600);
    QTRY_VERIFY(!status->isElided());
}

void LayoutTest::overlappingControlCollapsesAndComesBack() {
    QWidget window;
    window.resize(300, 100);
    QWidget* fixed = child(&window, 10, {10, 10, 100, 30});
    child(&window, 11, {180, 10, 100, 30});
    const LayoutRule rules[] = {
        {10, at(LayoutAnchor::Left), at(LayoutAnchor::Top), at(LayoutAnchor::Left),
         at(LayoutAnchor::Top)},
        {11, at(LayoutAnchor::Right), at(LayoutAnchor::Top), at(LayoutAnchor::Right),
         at(LayoutAnchor::Top)},
    };
    window.show();
    LayoutEngine engine;
    engine.InstallLayout(&window, nullptr, rules, 2);

    window.resize(250, 100);
    engine.ApplyLayout();
    QCOMPARE(engine.placed(11), (EdgeRect{130, 10, 230, 40}));
    QVERIFY(!engine.collapsed(11));

    window.resize(200, 100);  // 80..180 would overlap 10..110
    engine.ApplyLayout();
    QVERIFY(engine.collapsed(11));
    QCOMPARE(FindControl<QWidget>(&window, 11)->geometry(), QRect(0, 0, 0, 0));
    QVERIFY(!engine.collapsed(10));  // the earlier control stays

    fixed->hide();  // a hidden control takes no part
    engine.ApplyLayout();
    QVERIFY(!engine.collapsed(11));

    fixed->show();
    window.resize(300, 100);
    engine.ApplyLayout();
    QCOMPARE(FindControl<QWidget>(&window, 11)->geometry(), QRect(180, 10, 100, 30));
}

void LayoutTest::proportionalAndKeptSizes() {
    QWidget window;
    window.resize(200, 100);
    child(&window, 20, {50, 20, 40, 10});
    const LayoutRule rules[] = {
        {20, at(LayoutAnchor::Left, LayoutAnchor::Proportional),
         at(LayoutAnchor::CenterY, LayoutAnchor::Proportional),
         at(LayoutAnchor::Right, LayoutAnchor::KeepWidth),
         at(LayoutAnchor::Bottom, LayoutAnchor::KeepHeight)},
    };
    LayoutEngine engine;
    engine.InstallLayout(&window, nullptr, rules, 1);
    window.resize(400, 300);
    engine.ApplyLayout();
    // left 50 of 200 -> 100 of 400; top 20 is 30 above the centre 50 of 100 -> 150 - 90.
    QCOMPARE(engine.placed(20), (EdgeRect{100, 60, 140, 70}));
}

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
