# Installation and the Debian package: the two programs, the shipped column files, the
# launcher entry, the icon in the hicolor theme and the AppStream metainfo.
include(GNUInstallDirs)

set(VELMORA_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/desktop)
set(VELMORA_APP_ID com.velmora.terminal)

install(TARGETS velmora velmora-exchange RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The terminal finds these relative to its own program (bin/../share/velmora) and seeds the
# per-user configuration folder from them.
install(FILES ${PROJECT_SOURCE_DIR}/data/listtitle.txt ${PROJECT_SOURCE_DIR}/data/currentlisttitle.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora)
install(FILES ${VELMORA_DESKTOP_DIR}/velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELMORA_DESKTOP_DIR}/${VELMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${VELMORA_DESKTOP_DIR}/velmora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The PNG sizes are rendered from the one SVG at build time, so the drawing has one source.
set(VELMORA_ICON_SIZES 16 22 24 32 48 64 128 256 512)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(_icons)
  foreach(size ${VELMORA_ICON_SIZES})
    set(_png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/velmora.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
      COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${_png} ${VELMORA_DESKTOP_DIR}/velmora.svg
      DEPENDS ${VELMORA_DESKTOP_DIR}/velmora.svg
      COMMENT "Rendering the ${size}x${size} icon" VERBATIM)
    install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    list(APPEND _icons ${_png})
  endforeach()
  add_custom_target(velmora_icons ALL DEPENDS ${_icons})
else()
  message(WARNING "rsvg-convert (librsvg2-bin) not found: only the scalable icon is installed")
endif()

# cpack -G DEB: the shared-library dependencies are computed by dpkg-shlibdeps; what the
# terminal loads at run time without linking (the window-system plugins, the fonts its
# faces map to) is named by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Trading terminal of the Velmora wine spot exchange")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora is the desktop terminal of a small spot exchange on which lots of wine are\n\
traded: market overview, five-level quote, ticks, time-share and candlestick charts,\n\
orders and account queries. Also carries velmora-exchange, a substitute exchange for\n\
trying the terminal on one machine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmora developers <dev@velmora.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation2)
# Without it the terminal runs through XWayland; with it natively, at the cost of Qt Quick.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
include(CPack)
