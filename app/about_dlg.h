#pragma once

#include <QDialog>

/// "About Twinly": icon, version line, a short description, OK and the web address.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
