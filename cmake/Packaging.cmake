# The Debian package: `cpack -G DEB` in a build folder, or ./scripts/package for a release.
# Library dependencies come from dpkg-shlibdeps; what Salvyn uses at run time without linking
# it (movie backends, image formats, udisks2 for reading devices as a user) is recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME salvyn)
set(CPACK_PACKAGE_VENDOR Korvia)
set(CPACK_PACKAGE_CONTACT "Korvia <salvyn@korvia.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recover lost photos, videos and documents from memory cards")
set(CPACK_PACKAGE_DESCRIPTION "Salvyn gets lost photos, videos, music and documents back from memory
cards, USB sticks and disk images, whatever the state of their file system.
It reads the medium sector by sector, read-only, recognises the first sector
of each lost file by its signature, shows found photos while it searches,
previews found files and saves them into a folder away from the medium.
.
The package holds the desktop app, salvyn, and the command-line scanner,
salvyn-scan.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-libav, qt6-image-formats-plugins, libqt6svg6, udisks2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

# What every Debian package carries beside its files: the copyright and the change log.
set(SALVYN_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/salvyn")
set(SALVYN_CHANGELOG_GZ "${CMAKE_BINARY_DIR}/desktop/changelog.gz")
add_custom_command(OUTPUT "${SALVYN_CHANGELOG_GZ}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/desktop"
  COMMAND gzip -9 -n -c "${CMAKE_SOURCE_DIR}/resources/desktop/changelog" > "${SALVYN_CHANGELOG_GZ}"
  DEPENDS "${CMAKE_SOURCE_DIR}/resources/desktop/changelog")
add_custom_target(salvyn_changelog ALL DEPENDS "${SALVYN_CHANGELOG_GZ}")
install(FILES resources/desktop/copyright "${SALVYN_CHANGELOG_GZ}" DESTINATION "${SALVYN_DOC_DIR}")

include(CPack)
