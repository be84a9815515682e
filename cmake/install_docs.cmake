# Installs the manual pages (built in src/manpage) and the bash completion of zerva-cli.
include(GNUInstallDirs)

if(TARGET zerva_man_pages)
  foreach(program zerva zerva-cli zerva-server zerva-updater)
    install(FILES ${ZERVA_MAN_DIR}/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()

install(FILES ${CMAKE_SOURCE_DIR}/completion/zerva-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zerva-cli)
