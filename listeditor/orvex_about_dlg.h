#pragma once

#include <QDialog>

/// Orvex's About box (dialog 100); the finder has its own CAboutDlg.
class COrvexAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit COrvexAboutDlg(QWidget* parent = nullptr);
};
