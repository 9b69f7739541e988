#pragma once

#include <QDialog>

class QCheckBox;

/// Control ids of the save reminder.
namespace SaveDatafileId {
enum : int {
    Dialog = 152,
    Yes = 1,
    No = 2,
    Remind = 1104,
};
}  // namespace SaveDatafileId

/// The reminder shown on closing with an unsaved primary data file.
/// exec() returns kYes or kNo (also when the dialog is closed otherwise).
class CSaveDatafileDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kYes = SaveDatafileId::Yes;
    static constexpr int kNo = SaveDatafileId::No;

    explicit CSaveDatafileDlg(QWidget* parent = nullptr);

    /// "Always remind to save datafile".
    bool remind() const;

    void reject() override;

  private:
    QCheckBox* m_remind;
};
