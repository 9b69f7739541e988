#include "stored_image_formats.h"

ImageFormats ReadStoredImageFormats(KeyValueStore& store) {
    if (!store.openKey(kImageFormatsStoreKey)) {
        return ImageFormats::All;
    }
    return store.readString(kImageFormatsStoreKey, kImageFormatsStoreValue) == "No"
               ? ImageFormats::Classic
               : ImageFormats::All;
}
