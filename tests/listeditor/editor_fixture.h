#pragma once
// A list editor window over a temporary store, a scripted prompter and a
// recording desktop, driven through its control ids.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "desktop.h"
#include "list_editor_dlg.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

/// Writes an image list as the editor writes it.
inline std::string ListFileBytes(const std::vector<std::string>& entries) {
    std::string bytes = "START\r\n; comment\r\n";
    for (const std::string& e : entries) {
        bytes += e + "\r\n";
    }
    return bytes + "END\r\n";
}

/// The bytes the editor saves for `entries`: its own comment lines, CR LF.
inline std::string SavedListBytes(const std::vector<std::string>& entries) {
    std::string bytes =
        "START\r\n; ; = Comment. Do not edit. To be run as a script.\r\n; File must have no "
        "format characters.\r\n";
    for (const std::string& e : entries) {
        bytes += e + "\r\n";
    }
    return bytes + "END\r\n";
}

namespace Id = ListEditorId;

struct EditorRig {
    TempDir dir;
    std::unique_ptr<QSettingsStore> store =
        std::make_unique<QSettingsStore>(QString::fromStdString(dir.file("settings.ini")));
    ScriptedPrompter prompter;
    RecordingDesktop desktop;
    std::vector<PickedFolder> picks;  ///< answers of the folder picker, in order
    std::vector<std::string> pickTitles;
    std::unique_ptr<CListEditorDlg> dlg;

    void start(ListEditorOptions options = {}) {
        if (options.programFolder.empty()) {
            options.programFolder = dir.file("program");
        }
        if (!options.pickFolder) {
            options.pickFolder = [this](const std::string&,
                                        const std::string& title) -> std::optional<PickedFolder> {
                pickTitles.push_back(title);
                if (picks.empty()) {
                    return std::nullopt;
                }
                PickedFolder p = picks.front();
                picks.erase(picks.begin());
                return p;
            };
        }
        dlg = std::make_unique<CListEditorDlg>(*store, prompter, desktop, options);
        dlg->show();
    }

    QPushButton* button(int id) const { return FindControl<QPushButton>(dlg.get(), id); }
    QAction* action(int id) const { return FindControl<QAction>(dlg.get(), id); }
    QListView* list() const { return FindControl<QListView>(dlg.get(), Id::List); }
    QString status() const { return FindControl<QLabel>(dlg.get(), Id::Status)->text(); }
    void click(int id) const { QTest::mouseClick(button(id), Qt::LeftButton); }
    void trigger(int id) const { action(id)->trigger(); }
    const std::vector<std::string>& entries() const { return dlg->entries(); }

    /// Adds a folder through "Add folder..." as the picker would hand it back.
    void addFolder(const std::string& path, bool withSubfolders) {
        picks.push_back({path, withSubfolders});
        click(Id::AddFolder);
    }
    void select(const std::vector<int>& rows) const {
        QItemSelectionModel* sel = list()->selectionModel();
        sel->clearSelection();
        for (int row : rows) {
            const QModelIndex i = list()->model()->index(row, 0);
            sel->setCurrentIndex(i, QItemSelectionModel::Select);
        }
    }
};
