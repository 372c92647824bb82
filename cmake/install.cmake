# `cmake --install BUILD --prefix PREFIX`: the program and lumio-stations in PREFIX/bin, the
# shipped catalogue in PREFIX/share/lumio, and what the desktop needs to offer the program: its
# menu entry, its icon in the hicolor theme and its AppStream description. An installed copy
# keeps the listener's settings and lists in the user's configuration folder.
include(GNUInstallDirs)

set(lumio_data_dir ${CMAKE_INSTALL_DATADIR}/lumio)
# Found from the program's own place at run time, so an installed tree can move as a whole.
file(RELATIVE_PATH lumio_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/lumio)

install(TARGETS lumio-stations RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LUMIO_PROGRAM_DIR}/config/chlst.ini ${LUMIO_PROGRAM_DIR}/config/chalt.txt
              ${PROJECT_SOURCE_DIR}/res/catalogue/SOURCES.md
        DESTINATION ${lumio_data_dir})

if(TARGET lumio)
  target_compile_definitions(lumio PRIVATE LUMIO_DATA_DIR_FROM_BIN="${lumio_data_from_bin}")
  install(TARGETS lumio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(desktop ${PROJECT_SOURCE_DIR}/res/desktop)
  install(FILES ${desktop}/lumio.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${desktop}/net.tarvel.radio.lumio.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(DIRECTORY ${desktop}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
