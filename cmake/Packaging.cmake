# Installation as a desktop application and the Debian package made from it.
#
# quorelle_install_program(<target>) installs a program under its output name
# with its manual page docs/man/<name>.1; quorelle_finish_packaging(), called
# once every program is declared, installs the shared files and sets up CPack.
include(GNUInstallDirs)

set(QUORELLE_APPSTREAM_ID com.dorvane.quorelle)
set(QUORELLE_WEB_URL "https://quorelle.invalid" CACHE STRING
    "Home page named in the AppStream metainfo; the screenshot is expected at <url>/screenshot.png")

function(quorelle_install_program target)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(page ${PROJECT_SOURCE_DIR}/docs/man/${name}.1)
  if(NOT EXISTS ${page})
    message(FATAL_ERROR "${name} has no manual page ${page}")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Compressed the way Debian ships manual pages: gzip -9, no name or time stamp.
  set(compressed ${PROJECT_BINARY_DIR}/man/${name}.1.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${page} > ${compressed}
    DEPENDS ${page} VERBATIM)
  add_custom_target(${target}_man ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set_property(GLOBAL APPEND PROPERTY QUORELLE_PROGRAMS ${name})
endfunction()

function(quorelle_finish_packaging)
  get_property(programs GLOBAL PROPERTY QUORELLE_PROGRAMS)
  # Read by the package tests, so that they follow the programs declared.
  set(QUORELLE_PROGRAMS ${programs} CACHE INTERNAL "Installed programs")

  install(FILES ${PROJECT_SOURCE_DIR}/src/res/desktop/quorelle.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/src/res/images/quorelle.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/src/res/desktop/quorelle.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The sample lists, found from any working folder (marketdata/MarketListLocation).
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorelle/lists
          FILES_MATCHING PATTERN "*.TXT")

  set(QUORELLE_METAINFO_BINARIES "")
  foreach(program ${programs})
    string(APPEND QUORELLE_METAINFO_BINARIES "    <binary>${program}</binary>\n")
  endforeach()
  set(metainfo ${PROJECT_BINARY_DIR}/${QUORELLE_APPSTREAM_ID}.metainfo.xml)
  configure_file(${PROJECT_SOURCE_DIR}/src/res/desktop/${QUORELLE_APPSTREAM_ID}.metainfo.xml.in ${metainfo} @ONLY)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  set(QUORELLE_METAINFO ${metainfo} CACHE INTERNAL "Generated AppStream metainfo")

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME quorelle)
  set(CPACK_PACKAGE_VENDOR Dorvane)
  set(CPACK_PACKAGE_CONTACT "Quorelle <dev@quorelle.invalid>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop stock-quote ticker with intraday charts")
  # The summary is the description's first line; CPack indents the rest.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Quorelle follows securities in windows of their own: each downloads its\nquote page, draws the last price as an intraday chart and refreshes on a\ntimer. Market lists of seven exchanges, with sample lists, open quote\nwindows; securities are found by name, symbol and country.")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUORELLE_WEB_URL})
  # Library dependencies as dpkg-shlibdeps reads them from the programs.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_THREADS 0)
  include(CPack)
endfunction()
