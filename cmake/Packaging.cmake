# The Debian package of the program (scripts/setup.sh package, or cpack -G DEB in the build):
# vornreader_<version>_<architecture>.deb with what `cmake --install` puts under /usr, binaries
# stripped, and the shared-library dependencies computed by dpkg-shlibdeps.
set(VORN_PACKAGE_MAINTAINER "VornReader maintainers <maintainers@users.noreply.c-seed-d9848080.example>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornreader)
set(CPACK_PACKAGE_VENDOR "The VornReader developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "square-dance sequence library for callers")
# Lines of the long description stay within 80 columns, as Debian's tools show them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "VornReader keeps a library of square-dance choreography sequences, read from"
       "the text files of a sequence generator or from the clipboard. The caller"
       "browses it level by level, edits calls and formation diagrams, marks and"
       "searches sequences, prints them with drawn formation figures and drives a"
       "companion music player while calling."
       ""
       "The command-line tool vornreader-cli reads, lists, copies, prints and exports"
       "sequences without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VORN_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads the window system's platform plugin and the SVG icon engine that draws the state icons
# at run time, so no linked library names them; the Japanese texts need CJK glyphs, Qt's own dialogs
# their translations, and spreadsheets a desktop opener.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n, xdg-utils")
include(CPack)
