# `cpack` (run in a build folder) makes a Debian package: the bundle in
# /usr/lib/vst3, where Linux hosts look system-wide, and morvante-process
# in /usr/bin. Its library dependencies are found by dpkg-shlibdeps; the
# font the tool's plots use is named by hand.
install(DIRECTORY ${CMAKE_BINARY_DIR}/MORVANTE.vst3 DESTINATION lib/vst3
  USE_SOURCE_PERMISSIONS COMPONENT system_vst3 EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvante)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Penvarrowsonics")
set(CPACK_PACKAGE_CONTACT "support@penvarrowsonics.com")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "MORVANTE five-band dynamic equaliser (VST3) and its command-line host")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL system_vst3 tools)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_LICENSE "GPL-3+")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
