// EMF: libemf2svg turns the records into SVG, Qt SVG draws it.

#include <emf2svg.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdlib>
#include <cstring>

#include <dlfcn.h>

#include "decoders.h"

namespace imaging_detail {

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

using RecordCheckFunction = int (*)(const char*);

// The record library's own bounds checks for every record type (offsets and
// counts inside the record). Loaded privately for the same reason as the
// converter below; without it only the chain of records is checked.
RecordCheckFunction RecordCheck() {
    static const RecordCheckFunction function = []() -> RecordCheckFunction {
        void* library = ::dlopen("libuemf.so.0", RTLD_NOW | RTLD_LOCAL);
        return library != nullptr
                   ? reinterpret_cast<RecordCheckFunction>(::dlsym(library, "U_emf_record_safe"))
                   : nullptr;
    }();
    return function;
}

// The converter trusts record sizes, so the chain of records is checked first:
// every record inside the file, aligned, internally consistent, and an
// end-of-file record before the end.
bool RecordsWellFormed(const std::uint8_t* data, std::size_t size) {
    constexpr std::uint32_t kEndOfFile = 14;
    constexpr std::uint32_t kLastRecordType = 122;
    const RecordCheckFunction recordSafe = RecordCheck();
    std::size_t offset = 0;
    while (offset + 8 <= size) {
        const std::uint32_t type = Le32(data + offset);
        const std::uint32_t length = Le32(data + offset + 4);
        if (length < 8 || length % 4 != 0 || length > size - offset) {
            return false;
        }
        // Unknown types have no check and would only print a warning.
        if (recordSafe != nullptr && type >= 1 && type <= kLastRecordType &&
            recordSafe(reinterpret_cast<const char*>(data + offset)) == 0) {
            return false;
        }
        offset += length;
        if (type == kEndOfFile) {
            return true;
        }
    }
    return false;
}

// The converter reads the header's description string wherever its offset
// points, and with a zero count until it meets a terminator. The description
// is only a caption, so one that does not lie inside the header is dropped.
void DropStrayDescription(std::vector<char>& records) {
    constexpr std::size_t kCountAt = 60;
    constexpr std::size_t kOffsetAt = 64;
    const auto* header = reinterpret_cast<const std::uint8_t*>(records.data());
    const std::uint64_t headerSize = Le32(header + 4);
    const std::uint64_t count = Le32(header + kCountAt);
    const std::uint64_t offset = Le32(header + kOffsetAt);
    const bool inside = count > 0 && offset >= 88 && offset + 2 * count <= headerSize;
    if (!inside && (count != 0 || offset != 0)) {
        std::memset(records.data() + kCountAt, 0, 8);
    }
}

using Emf2SvgFunction = int (*)(char*, std::size_t, char**, std::size_t*, generatorOptions*);

// The converter is loaded privately: its helper library exports wmf_free, as
// does the WMF player ImageMagick loads, and with both in the global scope
// the player would call the wrong one and crash.
Emf2SvgFunction Converter() {
    static const Emf2SvgFunction function = []() -> Emf2SvgFunction {
        void* library = ::dlopen("libemf2svg.so.1", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            library = ::dlopen(TWINLY_EMF2SVG_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        }
        return library != nullptr ? reinterpret_cast<Emf2SvgFunction>(::dlsym(library, "emf2svg"))
                                  : nullptr;
    }();
    return function;
}

struct MallocedText {
    char* text = nullptr;
    std::size_t length = 0;
    ~MallocedText() { std::free(text); }
};

}  // namespace

bool DecodeEmf(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
               const DecodeOptions& options) {
    if (!EmfHeaderValid(data, size)) {
        return Fail(kImagingWrongFormat);
    }
    // The converter only reads the records, whatever its signature says.
    std::vector<char> records(data, data + size);
    DropStrayDescription(records);
    if (!RecordsWellFormed(reinterpret_cast<const std::uint8_t*>(records.data()), size)) {
        return Fail(Le32(data + 48) > size ? kImagingTruncated : kImagingCorrupt);
    }
    if (options.metafileWidth == 0 || options.metafileHeight == 0) {
        return Fail(kImagingBadArgument);
    }
    // Text needs the font database, which only exists with a GUI application.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return Fail(kImagingRenderFailed);
    }
    const Emf2SvgFunction convert = Converter();
    if (convert == nullptr) {
        return Fail(kImagingRenderFailed);
    }
    QuietQtMessages quiet;
    generatorOptions generator{};
    // A namespace prefix makes invalid XML whenever the file clips.
    char emptyNamespace[] = "";
    generator.nameSpace = emptyNamespace;
    generator.verbose = false;
    generator.emfplus = false;
    generator.svgDelimiter = true;
    MallocedText svg;
    if (convert(records.data(), records.size(), &svg.text, &svg.length, &generator) == 0 ||
        svg.text == nullptr || svg.length == 0) {
        return Fail(kImagingCorrupt);
    }
    QSvgRenderer renderer(QByteArray::fromRawData(svg.text, static_cast<qsizetype>(svg.length)));
    if (!renderer.isValid()) {
        return Fail(kImagingCorrupt);
    }
    QSizeF natural = renderer.viewBoxF().size();
    if (natural.isEmpty()) {
        natural = renderer.defaultSize();
    }
    if (natural.isEmpty()) {
        return Fail(kImagingCorrupt);
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    FitIntoBox(natural.width(), natural.height(), options.metafileWidth, options.metafileHeight,
               width, height);
    if (!CheckDeclaredSize(width, height)) {
        return false;
    }
    // The painter's own format, so that Qt converts nothing (on its thread pool).
    QImage canvas(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (canvas.isNull()) {
        return Fail(kImagingOutOfMemory);
    }
    canvas.fill(0xFFFFFFFFu);
    {
        QPainter painter(&canvas);
        renderer.render(&painter, QRectF(0, 0, width, height));
    }
    return QImageToRgb(canvas, out);
}

}  // namespace imaging_detail
