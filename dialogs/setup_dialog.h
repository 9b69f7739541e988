#pragma once

#include <QDialog>

/// Base of the setup dialogs. The caller fills the public fields, runs the
/// dialog, and reads the fields back when it ends with OK. The fields are
/// written to the controls each time the dialog opens and read back only on
/// OK, so a cancelled dialog leaves them exactly as the caller set them.
class SetupDialog : public QDialog {
  public:
    explicit SetupDialog(QWidget* parent);

  protected:
    /// Fields to controls; runs every time the dialog is shown anew.
    virtual void onInitDialog() = 0;
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    bool m_initialised = false;
};
