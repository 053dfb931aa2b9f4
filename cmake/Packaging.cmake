# bash scripts/velmora.sh package: a Debian package of the release build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Harrowby")
set(CPACK_PACKAGE_CONTACT "Velmora developers <velmora@harrowby.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fractal explorer for the Mandelbrot and Julia sets")
set(CPACK_PACKAGE_DESCRIPTION "Velmora renders the Mandelbrot set and Julia sets by the escape-time
method into 256-colour pictures. Zoom into a dragged box, edit the palette,
save documents, export BMP pictures, print them and make keyframe
animations that the ZEDoz player plays. velmora-cli renders and converts
without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
