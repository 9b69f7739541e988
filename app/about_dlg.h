#pragma once

#include <QDialog>

/// Control ids of the About box.
namespace AboutId {
enum : int {
    Dialog = 100,
    Ok = 1,
    Web = 1107,
};
}  // namespace AboutId

/// "About Twinly": icon, version line, a short description, OK and the web
/// address.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
