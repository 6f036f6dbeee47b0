# `make package`: a Debian package built by CPack. The run-time dependencies
# come from the binary and the plug-ins through dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivo-player)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kivo Player developers")
set(CPACK_PACKAGE_CONTACT
    "Kivo Player developers <maintainers@users.noreply.c-seed-44ea074a.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "small audio player for music files, tracker modules and internet radio")
set(CPACK_PACKAGE_DESCRIPTION
    "Kivo Player is a narrow window whose playlist fills it, with a level meter
and a seek bar; everything else is reached through two popup menus, the
playlist's keys, global hotkeys and a tray icon. It plays local files through
FFmpeg, tracker modules through libopenmpt, game-music files through libgme
and internet radio with stream titles and recording.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by Qt at run time, so no linker dependency shows them: Wayland
# without XWayland, and the hotkeys' portal.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-desktop-portal")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
