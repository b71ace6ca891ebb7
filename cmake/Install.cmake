# Installs the viewer into a freedesktop.org layout: the program in bin/, its menu entry in
# share/applications/ and its scalable icon in the hicolor theme, so desktops list it with
# its icon. Include this file after the OstrelViewer target exists.
#
# The program looks for "Ostrel3d.exe", "guide.pdf" and "settings.ini" beside its own
# executable; none of them is installed here.

cmake_path(SET OSTREL_RESOURCES_DIR NORMALIZE "${CMAKE_CURRENT_LIST_DIR}/../resources")

install(TARGETS OstrelViewer RUNTIME DESTINATION bin)
install(FILES "${OSTREL_RESOURCES_DIR}/OstrelViewer.desktop" DESTINATION share/applications)
install(FILES "${OSTREL_RESOURCES_DIR}/icons/ostrel-viewer.svg"
        DESTINATION share/icons/hicolor/scalable/apps)
