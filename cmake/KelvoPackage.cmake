# The Debian package: cpack -G DEB in the build folder. Its dependencies are computed from the
# programs by dpkg-shlibdeps; the maintainer is the author the packager configured.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${KELVO_AUTHOR}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvo turns a set of photos into a gallery of plain HTML pages: overview pages with small
pictures and pages with large ones, all linked together. Projects keep the pictures in order
with titles and comments; layouts are HTML templates adjusted with a live preview. The package
holds the desktop program, kelvo-cli for the command line, the layouts, sample photos, and the
user interface and help in English and German.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The title font of the info dialog; without it a fallback font is used.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-comic-neue")
if(KELVO_EMAIL)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELVO_AUTHOR} <${KELVO_EMAIL}>")
else()
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELVO_AUTHOR}")
endif()
if(KELVO_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KELVO_HOMEPAGE}")
endif()
include(CPack)
