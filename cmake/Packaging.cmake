# The Debian package, quenbyeditor_<version>_<arch>.deb: `cpack -G DEB` in a build
# folder configured with QE_GUI, or scripts/package.sh. It holds what
# `cmake --install` installs: the program, the files of data/, and the copyright
# and changelog Debian asks every package to carry.
if(NOT QE_GUI)
  return()
endif()
include(GNUInstallDirs)

set(qe_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quenbyeditor)
set(qe_changelog_gz ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${qe_changelog_gz}
                   COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/cmake/debian/changelog > ${qe_changelog_gz}
                   DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog)
add_custom_target(qe_changelog ALL DEPENDS ${qe_changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${qe_changelog_gz}
        DESTINATION ${qe_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenbyeditor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QuenbyEditor developers")
set(CPACK_PACKAGE_CONTACT "QuenbyEditor developers <maintainers@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by shlibdeps: the libraries. Not found: the platform plugins that let Qt
# open a window at all, the font the layout was drawn for and the SVG icon engine.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "editor for the configuration file of a distributed-computing client
QuenbyEditor edits the INI configuration file of a distributed-computing
client on fourteen pages of fields: the e-mail ID, triggers, run limits and
project priorities, buffers, network, proxy and keyserver settings,
processor usage, logging and mail logging, each field with the limits and
dependencies the client expects.
.
It only reads and writes the client's file: sections and lines it does not
own survive a save unchanged, and a save replaces the file in one step.")

include(CPack)
