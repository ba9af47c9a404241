# What `cmake --install` puts in place: the qvell program and its editor
# module (lib/qvell/, where qvell looks for it beside its own folder), its manual page, a
# desktop entry with an icon, and the MIME type that lets a desktop open
# project files (.qvl) with it. The editor's module is installed when it was
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
