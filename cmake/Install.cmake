# What `cmake --install` puts in place: the qvell program and its editor
# module (lib/qvell/, where qvell looks for it beside its own folder), its manual page, a
# desktop entry with its icons and AppStream metadata, the MIME type that lets
# a desktop open project files (.qvl) with it, the example projects and the
# documentation. The editor's module is installed when it was
# built: scripts/run builds it only where there is a display, and qvell
# without it still runs every command (the editor then says it is missing).
include(GNUInstallDirs)
install(TARGETS qvell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qvell-editor)
  install(TARGETS qvell-editor LIBRARY DESTINATION lib/qvell OPTIONAL)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME qvell.xml)
# The bitmap icon is dist/qvell-icon.qvl rendered by qvell itself:
#   qvell render dist/qvell-icon.qvl -o dist/qvell.png --supersample 2 --no-project
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME org.qvell.qvell.metainfo.xml)
# The example projects, which the editor's "サンプル" menu opens from here,
# and the documentation with the guide's pictures.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/qvell/examples
        FILES_MATCHING PATTERN "*.qvl")
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qvell)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qvell/docs)
# The editor's translations are built into its module (Qt resources under
# :/translations), so they need no rule of their own; translation files kept
# beside the program would be installed here, to ${CMAKE_INSTALL_DATADIR}/qvell/translations.

# `cpack -G DEB` in the build folder (scripts/package builds, checks and lists
# it) makes a Debian package of everything above, installed under /usr, with
# its library dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME qvell)
set(CPACK_PACKAGE_VENDOR "Q-Vell")
set(CPACK_PACKAGE_CONTACT "Q-Vell developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fractal compositor: a graph of generators, effectors and mixers")
set(CPACK_PACKAGE_DESCRIPTION "Q-Vell builds fractal pictures from a small graph of nodes: generators
iterate a complex formula for every pixel, effectors colour their records,
and mixers composite the effector pictures in layers with masks. The editor
zooms with the mouse and renders on every worker thread; the qvell command
renders projects, posters in regions and zoom movies, exactly alike on
every machine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "parallel, rsync")
set(CPACK_STRIP_FILES ON)
include(CPack)
