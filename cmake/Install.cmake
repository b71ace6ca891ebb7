# Installs the viewer into a freedesktop.org layout: the program in bin/, its menu entry in
# share/applications/, its scalable icon in the hicolor theme and the pattern file types in
# share/mime/packages/, so desktops list it with its icon and offer it for "*.pln" and
# "*.vwa" files. Include this file after the OstrelViewer target exists.
#
# The program looks for "Ostrel3d.exe", "guide.pdf" and "settings.ini" beside its own
# executable; none of them is installed here.

cmake_path(SET OSTREL_RESOURCES_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../resources")

install(TARGETS OstrelViewer RUNTIME DESTINATION bin)
install(FILES "${OSTREL_RESOURCES_DIR}/OstrelViewer.desktop" DESTINATION share/applications)
install(FILES "${OSTREL_RESOURCES_DIR}/icons/ostrel-viewer.svg"
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES "${OSTREL_RESOURCES_DIR}/ostrel-viewer-mime.xml"
        DESTINATION share/mime/packages RENAME ostrel-viewer.xml)
# Desktops read the compiled MIME and application caches; refresh them when the tools exist
# (package managers do the same in their triggers).
install(CODE [[
  set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  find_program(OSTREL_UPDATE_MIME update-mime-database)
  find_program(OSTREL_UPDATE_DESKTOP update-desktop-database)
  if(OSTREL_UPDATE_MIME)
    execute_process(COMMAND "${OSTREL_UPDATE_MIME}" "${prefix}/share/mime")
  endif()
  if(OSTREL_UPDATE_DESKTOP)
    execute_process(COMMAND "${OSTREL_UPDATE_DESKTOP}" "${prefix}/share/applications")
  endif()
]])
