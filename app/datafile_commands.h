#pragma once

class CMainDlg;

/// "Open" and "SaveAs" of the two data file slots, with the purge of missing
/// entries before a save. User-interface thread.
class DatafileCommands {
  public:
    explicit DatafileCommands(CMainDlg& dlg);

    /// Reads a chosen data file into slot 0 (primary) or 1; true when filled.
    bool open(int slot);
    /// Writes a slot that holds records to a chosen file.
    void saveAs(int slot);

  private:
    void purge(int slot);

    CMainDlg& m_dlg;
};
