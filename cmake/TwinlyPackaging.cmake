# Debian package: cpack -G DEB in a build folder makes twinly_<version>_amd64.deb.
set(CPACK_PACKAGE_NAME twinly)
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora Twinly maintainers <twinly@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "duplicate image finder with an image list editor")
set(CPACK_PACKAGE_DESCRIPTION
  "Twinly reads every image of a folder or image list, reduces each to a small\n\
colour signature, compares all pairs and lets the user step through the\n\
matching pairs side by side, deleting one image to the trash or moving it.\n\
Orvex edits the image lists that Twinly reads. twinly-cli runs the same\n\
engine from the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmora.invalid/twinly")
# Shared libraries come from dpkg-shlibdeps; what follows is only loaded at run
# time as plugins or data: Qt's TIFF and WBMP readers, ImageMagick's coders
# for Targa, PCX, Photoshop and WMF, and the fonts WMF text is drawn with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-image-formats-plugins, libmagickcore-6.q16-6-extra, fonts-urw-base35")
# Opening help pages, files and folders goes through the desktop's handlers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)

