#include "single_image_commands.h"

#include "command_router.h"
#include "image_loading.h"
#include "main_ids.h"
#include "prompter.h"
#include "run_state.h"
#include "signature.h"
#include "wait_cursor.h"

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

// Added to the single image's choices while the newer formats are read.
constexpr const char* kPhotoPatterns =
    ";*.heic;*.heif;*.avif;*.webp;*.jxl;*.dng;*.cr2;*.cr3;*.nef;*.arw;*.orf;*.rw2;*.raf;*.pef;"
    "*.srw";
constexpr const char* kPhotoFilters =
    " HEIC and AVIF (*.heic;*.heif;*.avif)|*.heic;*.heif;*.avif| WebP (*.webp)|*.webp|"
    " JPEG XL (*.jxl)|*.jxl|"
    " Camera RAW|*.dng;*.cr2;*.cr3;*.nef;*.arw;*.orf;*.rw2;*.raf;*.pef;*.srw|";

// The dialog's filter: the classic one, or with the photo formats in the
// "Image Files" entry and an entry each before "All files".
std::string imageFilter(ImageFormats formats) {
    std::string filter = kImageFilter;
    if (formats == ImageFormats::All) {
        filter.insert(filter.find('|', filter.find('|') + 1), kPhotoPatterns);
        filter.insert(filter.find(" All files"), kPhotoFilters);
    }
    return filter;
}

// The path up to and including its last separator.
std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace

SingleImageCommands::SingleImageCommands(RunState& run, CommandRouter& commands, Prompter& prompter)
    : m_run(run), m_prompter(prompter) {
    commands.setHandler(MainId::SingleOpen, [this] { OnOpenSingle(); });
}

void SingleImageCommands::OnOpenSingle() {
    FileDialogSpec spec;
    spec.title = "Get single image - open image file";
    const ImageFormats formats = m_run.imageFormats();
    const std::string patterns =
        std::string(kImagePatterns) + (formats == ImageFormats::All ? kPhotoPatterns : "");
    spec.filter = imageFilter(formats);
    spec.initialName = patterns;
    spec.defaultExtension = patterns;
    spec.initialFolder = m_run.settings().m_strLastSingleFolder;
    spec.mustExist = true;
    const std::optional<std::string> path = m_prompter.openFile(spec);
    if (!path) {
        return;
    }
    RgbBuffer image;
    bool loaded = false;
    {
        WaitCursor wait;
        loaded = LoadImageFile(*path, image, {}, formats);
    }
    if (!loaded) {
        m_prompter.inform("Error", ImageLoadErrorText(LastImageError()), PromptIcon::Error);
        return;
    }
    m_run.settings().m_strLastSingleFolder = folderOf(*path);
    ImageRecord record{};
    MakeSingleImageSignature(image, static_cast<ResizeMode>(m_run.filterIndex()), record);
    m_run.setSingleImage(*path, record);
}
