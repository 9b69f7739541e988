#pragma once

class CMainDlg;

/// "Open..." of the single-image row: choose an image file, load it and make
/// the single comparison record from it. User-interface thread.
class SingleImageCommands {
  public:
    /// Registers the button with `dlg`.
    explicit SingleImageCommands(CMainDlg& dlg);

    void OnOpenSingle();

  private:
    CMainDlg& m_dlg;
};
