#pragma once

#include <QDialog>

class QCheckBox;

/// The reminder shown on closing with an unsaved primary data file.
/// exec() returns kYes or kNo (also when the dialog is closed otherwise).
class CSaveDatafileDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kYes = 1;
    static constexpr int kNo = 2;

    explicit CSaveDatafileDlg(QWidget* parent = nullptr);

    /// "Always remind to save datafile".
    bool remind() const;
    void setRemind(bool remind);

    void reject() override;

  private:
    QCheckBox* m_remind;
};
