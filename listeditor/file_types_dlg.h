#pragma once

#include <QDialog>

#include "list_entry.h"

class Desktop;

/// Control ids of the "Use image types" dialog.
namespace FileTypesId {
enum : int {
    Ok = 1,
    Cancel = 2,
    Help = 9,
    Window = 104,
    Jpg = 1117,
    Bmp = 1118,
    Png = 1119,
    Gif = 1120,
    Tif = 1121,
    Pcx = 1122,
    Tga = 1123,
    Wmf = 1124,
    Raw = 1125,
    Psd = 1127,
    Heic = 1128,
    Avif = 1129,
    Webp = 1130,
    Jxl = 1131,
};
}

/// "Use image types" (dialog 104): one check box per image type switch.
/// OK hands them all back; Cancel changes nothing. User-interface thread.
class CFileTypesDlg : public QDialog {
    Q_OBJECT
  public:
    CFileTypesDlg(const ImageTypeFilter& types, Desktop& desktop, QWidget* parent = nullptr);
    ImageTypeFilter types() const;

  private:
    Desktop& m_desktop;
};
