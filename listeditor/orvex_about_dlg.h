#pragma once

#include <QDialog>

/// Control ids of Orvex's About box.
namespace OrvexAboutId {
enum : int { Ok = 1, Window = 100 };
}

/// Orvex's About box (dialog 100); the finder has its own CAboutDlg.
class COrvexAboutDlg : public QDialog {
    Q_OBJECT
  public:
    explicit COrvexAboutDlg(QWidget* parent = nullptr);
};
