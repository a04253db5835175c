# The Debian package: CPack's DEB generator over what `cmake --install` puts in place, under
# /usr. Made by scripts/package.sh from the optimised build.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vantorel developers")
set(CPACK_PACKAGE_CONTACT "${VANTOREL_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# The debug information stays in the build; the package carries what runs.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # vantorel_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VANTOREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VANTOREL_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bill of sale maker for private vehicle sales")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vantorel turns the particulars of one private vehicle sale (buyer, seller,
witness, the vehicle, the price and the conditions of sale) into a finished
Motor Vehicle Bill of Sale, a Word document that Word and LibreOffice open.
It shows the pages in a preview, and saves, prints or exports them as a PDF;
what you type is kept and comes back at the next start. The command
vantorel-bill makes the same document from a JSON record, or a bill for each
line of a file, for scripts and batches.")
# The libraries come from dpkg-shlibdeps; the fonts the layout measures and draws with are
# files, which it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
# Without them a name in another script or an emoji is drawn as empty boxes, but the bill in
# Latin letters is whole: recommended, so that apt brings them unless told not to.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-core, fonts-noto-cjk, fonts-noto-color-emoji")
# Miller turns spreadsheets into the JSON Lines a batch reads.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS miller)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
