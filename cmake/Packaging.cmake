# `cpack` (run in a build folder) makes a Debian package: the bundle in
# /usr/lib/vst3, where Linux hosts look system-wide, and morvante-process
# in /usr/bin with its manual page, and the copyright and changelog Debian
# asks for. Its library dependencies are found by dpkg-shlibdeps; the font
# the tool's plots use is named by hand. Included after the subdirectories,
# so that it sees which bundles the build defines.
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)

# morvante_strip_staged(<component> <glob>)
# With CPACK_STRIP_FILES (or cmake --install --strip), strips the staged
# files of a component the way Debian does, symbols and compiler notes
# alike. Bundles are copied as folders, which CMake's own stripping of
# installed targets does not reach; only the staged copies are touched,
# never the build tree's, whose modules the tests load.
function(morvante_strip_staged component glob)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      file(GLOB_RECURSE files \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${glob}\")
      foreach(file IN LISTS files)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded --remove-section=.comment
          --remove-section=.note \"\${file}\" COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()" COMPONENT ${component} EXCLUDE_FROM_ALL)
endfunction()

# morvante_install_system_bundle(<bundle folder> <destination> <component>)
# Every file of a bundle is data to its hosts, modules included (dlopen
# needs no execute bit): mode 644, as Debian gives shared objects.
function(morvante_install_system_bundle bundle destination component)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/${bundle} DESTINATION ${destination}
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
    COMPONENT ${component} EXCLUDE_FROM_ALL)
  morvante_strip_staged(${component} "${destination}/${bundle}/*.so")
endfunction()

set(package_components system_vst3 system_vst3_presets tools debian)
morvante_install_system_bundle(MORVANTE.vst3 lib/vst3 system_vst3)
morvante_strip_staged(tools bin/morvante-process)
# The LV2 bundle, where the build makes one.
if(TARGET morvante_lv2_bundle)
  morvante_install_system_bundle(MORVANTE.lv2 lib/lv2 system_lv2)
  list(APPEND package_components system_lv2)
endif()

# Debian wants the changelog and manual pages compressed without a time
# stamp (gzip -n), so that rebuilds give the same bytes.
configure_file(${packaging_dir}/morvante-process.1 ${packaging_out}/morvante-process.1 @ONLY)
set(package_gz ${packaging_out}/changelog.gz ${packaging_out}/morvante-process.1.gz)
add_custom_command(OUTPUT ${package_gz}
  COMMAND sh -c "gzip -9n < '${packaging_dir}/changelog' > '${packaging_out}/changelog.gz'"
  COMMAND sh -c "gzip -9n < '${packaging_out}/morvante-process.1' > '${packaging_out}/morvante-process.1.gz'"
  DEPENDS ${packaging_dir}/changelog ${packaging_out}/morvante-process.1
  COMMENT "Compressing the package's changelog and manual page"
  VERBATIM)
add_custom_target(morvante_package_docs ALL DEPENDS ${package_gz})

install(FILES ${packaging_out}/morvante-process.1.gz DESTINATION share/man/man1 COMPONENT tools)
# A native package (the packaging lives with the sources, the version has
# no Debian revision): its changelog is changelog.gz, not changelog.Debian.gz.
install(FILES ${packaging_dir}/copyright ${packaging_out}/changelog.gz DESTINATION share/doc/morvante
  COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${packaging_dir}/lintian-overrides DESTINATION share/lintian/overrides RENAME morvante
  COMPONENT debian EXCLUDE_FROM_ALL)

# The extended description, wrapped as Debian shows it.
if(TARGET morvante_lv2_bundle)
  set(package_lv2_sentence " The LV2 plug-ins (stereo and mono) are in /usr/lib/lv2.")
endif()
configure_file(${packaging_dir}/description ${packaging_out}/description @ONLY)
file(READ ${packaging_out}/description package_description)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvante)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Penvarrowsonics")
# The maintainer Debian shows: a name and an address.
set(CPACK_PACKAGE_CONTACT "Penvarrowsonics <support@penvarrowsonics.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "five-band dynamic equaliser plug-in and offline renderer")
set(CPACK_PACKAGE_DESCRIPTION "${package_description}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL ${package_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
