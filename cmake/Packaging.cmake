# The Debian packages, one per install component: quenbyeditor_<version>_<arch>.deb
# (the editor, with the files of data/ it needs) and quenbyconf_<version>_<arch>.deb
# (the headless command and its manual page, no Qt). `cpack -G DEB` in a build
# folder makes both, or only quenbyconf in one configured with -DQE_GUI=OFF;
# scripts/package.sh does it in build-package/. Each package also carries the
# copyright and changelog Debian asks for, under /usr/share/doc/<package>.
include(GNUInstallDirs)

set(qe_packages quenbyconf)
if(QE_GUI)
  list(PREPEND qe_packages quenbyeditor)
endif()

# The copyright file and the package's compressed changelog, into its doc folder.
function(qe_package_docs package)
  set(changelog ${PROJECT_SOURCE_DIR}/cmake/debian/${package}/changelog)
  set(gz ${PROJECT_BINARY_DIR}/debian/${package}/changelog.gz)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/debian/${package})
  add_custom_command(OUTPUT ${gz} COMMAND gzip -9nc ${changelog} > ${gz} DEPENDS ${changelog})
  add_custom_target(qe_changelog_${package} ALL DEPENDS ${gz})
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${gz}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
endfunction()
foreach(package IN LISTS qe_packages)
  qe_package_docs(${package})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${qe_packages})
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
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_QUENBYEDITOR_PACKAGE_NAME quenbyeditor)
# Found by shlibdeps: the libraries. Not found: the platform plugins that let Qt
# open a window at all, the font the layout was drawn for and the SVG icon engine.
set(CPACK_DEBIAN_QUENBYEDITOR_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_QUENBYEDITOR_PACKAGE_RECOMMENDS "fonts-liberation, libqt6svg6")
set(CPACK_DEBIAN_QUENBYEDITOR_DESCRIPTION
    "editor for the configuration file of a distributed-computing client
QuenbyEditor edits the INI configuration file of a distributed-computing
client on fourteen pages of fields: the e-mail ID, triggers, run limits and
project priorities, buffers, network, proxy and keyserver settings,
processor usage, logging and mail logging, each field with the limits and
dependencies the client expects.
.
It only reads and writes the client's file: sections and lines it does not
own survive a save unchanged, and a save replaces the file in one step.")

# Only what shlibdeps finds: the C library and, for the editor in the terminal,
# ncursesw and tinfo (the C++ runtime is linked in).
set(CPACK_DEBIAN_QUENBYCONF_PACKAGE_NAME quenbyconf)
set(CPACK_DEBIAN_QUENBYCONF_DESCRIPTION
    "read and set the configuration file of a distributed-computing client
quenbyconf reads, sets, checks and compares the settings of the client's INI
configuration file from the command line, by the same rules as the
QuenbyEditor window: the limits and interlocks of every field, the check
before a save, and a save that keeps every section and line the editor does
not own. A value that would not be saved as given refuses the whole call.
.
It needs no display and no Qt, answers in JSON on request, and locks the file
while it writes, for use on many machines and from configuration tools.
\`quenbyconf edit\` is the whole editor in the terminal, with the pages, rules
and dialogs of the window.")

include(CPack)
