# `cpack -G DEB` in a build folder: one package with salvora, salvora-cli, the desktop entry
# and the icons, its dependencies computed from the programs' libraries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME salvora)
set(CPACK_PACKAGE_VENDOR "Salvora")
set(CPACK_PACKAGE_CONTACT "Salvora maintainers <maintainers@salvora.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Gets files back out of iPhone backups")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://salvora.app/software/Salvora")
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
