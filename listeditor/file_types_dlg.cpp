#include "file_types_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "control_ids.h"
#include "desktop.h"

namespace {

using namespace FileTypesId;

struct TypeBox {
    int id;
    const char* text;
    bool ImageTypeFilter::*field;
};

constexpr std::array<TypeBox, 14> kBoxes = {{
    {Bmp, "BMP", &ImageTypeFilter::bmp},
    {Jpg, "JPG", &ImageTypeFilter::jpg},
    {Png, "PNG", &ImageTypeFilter::png},
    {Gif, "GIF", &ImageTypeFilter::gif},
    {Tga, "TGA", &ImageTypeFilter::tga},
    {Pcx, "PCX", &ImageTypeFilter::pcx},
    {Tif, "TIF", &ImageTypeFilter::tif},
    {Wmf, "WMF EMF", &ImageTypeFilter::wmf},
    {Psd, "PSD", &ImageTypeFilter::psd},
    {Raw, "RAW (camera)", &ImageTypeFilter::raw},
    {Heic, "HEIC HEIF", &ImageTypeFilter::heic},
    {Avif, "AVIF", &ImageTypeFilter::avif},
    {Webp, "WebP", &ImageTypeFilter::webp},
    {Jxl, "JPEG XL", &ImageTypeFilter::jxl},
}};

}  // namespace

CFileTypesDlg::CFileTypesDlg(const ImageTypeFilter& types, Desktop& desktop, QWidget* parent)
    : QDialog(parent), m_desktop(desktop) {
    SetControlId(this, Window);
    setWindowTitle("Use image types");
    auto* grid = new QGridLayout;
    int i = 0;
    for (const TypeBox& box : kBoxes) {
        auto* check = new QCheckBox(box.text, this);
        SetControlId(check, box.id);
        check->setChecked(types.*box.field);
        grid->addWidget(check, i / 2, i % 2);
        ++i;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel |
                                         QDialogButtonBox::Help);
    SetControlId(buttons->button(QDialogButtonBox::Ok), Ok);
    SetControlId(buttons->button(QDialogButtonBox::Cancel), Cancel);
    SetControlId(buttons->button(QDialogButtonBox::Help), Help);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { m_desktop.openHelp("orvex-contents.html"); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

ImageTypeFilter CFileTypesDlg::types() const {
    ImageTypeFilter result;
    for (const TypeBox& box : kBoxes) {
        result.*box.field = FindControl<QCheckBox>(this, box.id)->isChecked();
    }
    return result;
}
