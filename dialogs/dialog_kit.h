#pragma once
// Small builders shared by the setup dialogs: every control gets its numeric id
// as it is made, so tests and the window find it by that id.

#include <QString>
#include <string>

class QBoxLayout;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

/// Path edits take any path the file system allows, not only short ones.
inline constexpr int kPathEditMax = 4096;
/// The number edits of the setup dialogs.
inline constexpr int kNumberEditMax = 10;

/// Common dialog control ids.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdHelp = 1000;

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string ss(const QString& s) {
    return s.toStdString();
}

QPushButton* MakeButton(int id, const QString& text);
QLineEdit* MakeEdit(int id, int maxLength);
QCheckBox* MakeCheck(int id, const QString& text);
QRadioButton* MakeRadio(int id, const QString& text);
/// A label; id 0 leaves it without an id.
QLabel* MakeLabel(int id, const QString& text);

/// Adds the row of OK (default), Cancel and, when `withHelp`, Help buttons,
/// wired to accept and reject. Returns the Help button or null.
QPushButton* AddDialogButtons(QDialog* dialog, QBoxLayout* layout, bool withHelp);
