# Run by `cmake --install` and by CPack, after the programs: the player's
# page, the changelog and the manual pages (section 6), each gzip -9n so that
# they carry no name or time, and the menu entry, with @DATI@, the installed
# world's folder, and @VERSIONE@ filled in.
# CMAKE_INSTALL_PREFIX is the one being installed to; file(INSTALL) adds
# DESTDIR. The VELT_* variables come from the install code before this one.
set(DATI "${CMAKE_INSTALL_PREFIX}/${VELT_DATI}")
set(VERSIONE "${VELT_VERSIONE}")
set(uscita "${VELT_BINARI}/installa")
file(MAKE_DIRECTORY "${uscita}")
# velt-autore pubblica needs the page: a package without it is broken.
if(NOT EXISTS "${VELT_PAGINA_WEB}")
  message(FATAL_ERROR "manca la pagina del gioco per il browser (${VELT_PAGINA_WEB}): "
                      "la costruisce 'make web'")
endif()
# The studio is built beside the page, and velt-autore studio needs it.
get_filename_component(cartella_web "${VELT_PAGINA_WEB}" DIRECTORY)
if(NOT EXISTS "${cartella_web}/studio.html")
  message(FATAL_ERROR "manca lo studio (${cartella_web}/studio.html): lo costruisce 'make web'")
endif()
file(INSTALL "${VELT_PAGINA_WEB}" "${cartella_web}/studio.html" DESTINATION "${DATI}")
# The studio's launcher opens the installed studio in the desktop's browser.
configure_file("${VELT_SORGENTI}/installa/velt-studio.in" "${uscita}/velt-studio" @ONLY)
file(INSTALL "${uscita}/velt-studio" DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELT_PROGRAMMI}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE)
# The changelog, in Debian's format, compressed as Debian's policy asks.
configure_file("${VELT_SORGENTI}/installa/changelog" "${uscita}/changelog" COPYONLY)
execute_process(COMMAND gzip -9nf changelog WORKING_DIRECTORY "${uscita}" RESULT_VARIABLE esito)
if(NOT esito EQUAL 0)
  message(FATAL_ERROR "gzip changelog: ${esito}")
endif()
file(INSTALL "${uscita}/changelog.gz" DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELT_DOCDIR}")
foreach(pagina velt velt-autore)
  configure_file("${VELT_SORGENTI}/installa/${pagina}.6" "${uscita}/${pagina}.6" @ONLY)
  execute_process(COMMAND gzip -9nf ${pagina}.6 WORKING_DIRECTORY "${uscita}" RESULT_VARIABLE esito)
  if(NOT esito EQUAL 0)
    message(FATAL_ERROR "gzip ${pagina}.6: ${esito}")
  endif()
endforeach()
# velt-utf8 is documented on velt's page, velt-studio on velt-autore's.
file(CREATE_LINK velt.6.gz "${uscita}/velt-utf8.6.gz" SYMBOLIC)
file(CREATE_LINK velt-autore.6.gz "${uscita}/velt-studio.6.gz" SYMBOLIC)
file(INSTALL "${uscita}/velt.6.gz" "${uscita}/velt-utf8.6.gz" "${uscita}/velt-autore.6.gz"
     "${uscita}/velt-studio.6.gz"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELT_MANDIR}/man6")
foreach(voce velt velt-studio)
  configure_file("${VELT_SORGENTI}/installa/${voce}.desktop.in" "${uscita}/${voce}.desktop" @ONLY)
  file(INSTALL "${uscita}/${voce}.desktop" DESTINATION "${CMAKE_INSTALL_PREFIX}/${VELT_APPDIR}")
endforeach()
