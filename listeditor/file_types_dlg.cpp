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

struct TypeBox {
    int id;
    const char* text;
    bool ImageTypeFilter::*field;
};

constexpr std::array<TypeBox, 10> kBoxes = {{
    {1118, "BMP", &ImageTypeFilter::bmp},
    {1117, "JPG", &ImageTypeFilter::jpg},
    {1119, "PNG", &ImageTypeFilter::png},
    {1120, "GIF", &ImageTypeFilter::gif},
    {1123, "TGA", &ImageTypeFilter::tga},
    {1122, "PCX", &ImageTypeFilter::pcx},
    {1121, "TIF", &ImageTypeFilter::tif},
    {1124, "WMF EMF", &ImageTypeFilter::wmf},
    {1127, "PSD", &ImageTypeFilter::psd},
    {1125, "RAW (camera)", &ImageTypeFilter::raw},
}};

}  // namespace

CFileTypesDlg::CFileTypesDlg(const ImageTypeFilter& types, Desktop& desktop, QWidget* parent)
    : QDialog(parent), m_desktop(desktop) {
    setObjectName("id104");
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
    SetControlId(buttons->button(QDialogButtonBox::Ok), 1);
    SetControlId(buttons->button(QDialogButtonBox::Cancel), 2);
    SetControlId(buttons->button(QDialogButtonBox::Help), 9);
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
