# What `cmake --install` puts in place: the qvell program and its editor
# module (lib/qvell/, where qvell looks for it beside its own folder), its manual page, a
# desktop entry with an icon, and the MIME type that lets a desktop open
# project files (.qvl) with it.
include(GNUInstallDirs)
install(TARGETS qvell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qvell-editor)
  install(TARGETS qvell-editor LIBRARY DESTINATION lib/qvell)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/dist/qvell-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME qvell.xml)
