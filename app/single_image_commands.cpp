#include "single_image_commands.h"

#include <QApplication>
#include <QFileInfo>

#include "get_data_page.h"
#include "image_loading.h"
#include "main_dlg.h"
#include "prompter.h"
#include "signature.h"

namespace {

constexpr const char* kImagePatterns =
    "*.bmp;*.jpg;*.jpeg;*.jpe;*.jif;*.gif;*.pcx;*.png;*.psd;*.tif;*.tiff;*.tga;*.wmf;*.emf";

constexpr const char* kImageFilter =
    "Image "
    "Files|*.bmp;*.jpg;*.jpeg;*.jpe;*.jif;*.gif;*.pcx;*.png;*.psd;*.tif;*.tiff;*.tga;*.wmf;*.emf|"
    " JPEG Files (*.jpg;*.jpeg;*.jpe;*.jif)|*.jpg;*.jpeg;*.jpe;*.jif| PNG Files (*.png)|*.png|"
    " TIFF Files (*.tif;*.tiff)|*.tif;*.tiff| BMP Files (*.bmp)|*.bmp| GIF Files (*.gif)|*.gif|"
    " PaintBrush (*.pcx)|*.pcx| PhotoShop (*.psd)|*.psd| Targa files (*.tga)|*.tga|"
    " Windows Metafiles(*.wmf)|*.wmf| Enhanced Metafiles (*.emf)|*.emf| All files (*.*)|*.*||";

// The path up to and including its last separator.
std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace

SingleImageCommands::SingleImageCommands(CMainDlg& dlg) : m_dlg(dlg) {
    dlg.setCommandHandler(1097, [this] { OnOpenSingle(); });
}

void SingleImageCommands::OnOpenSingle() {
    FileDialogSpec spec;
    spec.title = "Get single image - open image file";
    spec.filter = kImageFilter;
    spec.initialName = kImagePatterns;
    spec.defaultExtension = kImagePatterns;
    spec.initialFolder = m_dlg.settings().m_strLastSingleFolder;
    spec.mustExist = true;
    const std::optional<std::string> path = m_dlg.prompter().openFile(spec);
    if (!path) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RgbBuffer image;
    const bool loaded = LoadImageFile(*path, image);
    QApplication::restoreOverrideCursor();
    if (!loaded) {
        m_dlg.prompter().inform("Error", ImageLoadErrorText(LastImageError()), PromptIcon::Error);
        return;
    }
    const QString shown = QString::fromStdString(*path);
    m_dlg.setSinglePath(*path);
    m_dlg.getDataPage().setSingle("Single image:" + QFileInfo(shown).completeBaseName(), shown);
    m_dlg.settings().m_strLastSingleFolder = folderOf(*path);
    MakeSingleImageSignature(image, static_cast<ResizeMode>(m_dlg.filterIndex()),
                             m_dlg.singleRecord());
    m_dlg.setSingleLoaded(true);
    m_dlg.UpdateFindButton();
}
