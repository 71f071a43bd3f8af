# Installation as a Linux desktop user expects it, and its Debian package:
#   <prefix>/lib/tellvane/      the programs with their data beside them (AppFolder)
#   <prefix>/bin/tellvane       launcher on the PATH (a link; AppFolder follows the link)
#   <prefix>/share/applications/, metainfo/, icons/hicolor/: the desktop entry, the AppStream
#       metainfo and the icon, all named by the reverse-DNS id
#   <prefix>/share/man/man1/, bash-completion/, doc/tellvane/: manual pages, completion, the
#       Debian copyright and changelog
set(TELLVANE_INSTALL_APPDIR lib/tellvane)

set(tellvane_installed_programs tellvane-cli tellvane-menu-helper)
if(TARGET tellvane)
  list(PREPEND tellvane_installed_programs tellvane)
endif()
install(TARGETS ${tellvane_installed_programs} RUNTIME DESTINATION ${TELLVANE_INSTALL_APPDIR})

# Pictures, description files, help and language files: whatever the build puts beside the programs.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${TELLVANE_INSTALL_APPDIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                              WORLD_READ WORLD_EXECUTE)

# Relative links, so the tree can be moved and packaged (DESTDIR) as it is.
foreach(program IN LISTS tellvane_installed_programs)
  if(NOT program STREQUAL "tellvane-menu-helper")
    install(CODE "
      set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${program}\")
      file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
      file(REMOVE \"\${link}\")
      file(CREATE_LINK \"../${TELLVANE_INSTALL_APPDIR}/${program}\" \"\${link}\" SYMBOLIC)
      message(STATUS \"Installing: \${link} -> ../${TELLVANE_INSTALL_APPDIR}/${program}\")")
  endif()
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/${TELLVANE_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${TELLVANE_DESKTOP_DIR}/${TELLVANE_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${TELLVANE_APP_ID}.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size IN LISTS TELLVANE_ICON_SIZES)
  install(FILES ${TELLVANE_DESKTOP_DIR}/icons/${size}x${size}/${TELLVANE_APP_ID}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
foreach(page IN LISTS TELLVANE_MAN_PAGES)
  install(FILES ${TELLVANE_DESKTOP_DIR}/man/${page}.gz DESTINATION share/man/man1)
endforeach()
install(FILES ${TELLVANE_DESKTOP_DIR}/completion/tellvane-cli DESTINATION share/bash-completion/completions)
install(FILES ${TELLVANE_DESKTOP_DIR}/completion/_tellvane-cli DESTINATION share/zsh/vendor-completions)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/debian/copyright ${TELLVANE_DESKTOP_DIR}/changelog.gz
        DESTINATION share/doc/tellvane)

# Debian package: `cpack -G DEB` in a Release build folder.
set(CPACK_PACKAGE_NAME tellvane)
set(CPACK_PACKAGE_VENDOR "Kalvessa")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Encrypt, decrypt, shred and hide files, folders and drives")
# Lines of at most 80 characters, as Debian shows them; CPack indents them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tellvane protects files on the desktop with five operations: Encrypt turns each"
  "file into NAME.enc with one of eighteen block ciphers, or with all of them in"
  "cascade; Decrypt gives the file its name back; Shred overwrites files with one"
  "of eleven wiping methods, from one pass of zeros to Gutmann's 35 passes, and"
  "deletes them; Hide keeps files, folders and volumes out of the file managers'"
  "sight behind a main password; Show makes them visible again."
  ""
  "The operations also appear in the context menus of Dolphin, Nautilus, Nemo,"
  "Caja and Thunar, and the console program tellvane-cli runs them from scripts.")
set(CPACK_PACKAGE_CONTACT "Tellvane developers <tellvane@kalvessa.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs link (Qt 6, Crypto++, Botan, libstdc++...) come from
# dpkg-shlibdeps; what is loaded at run time only is named here: Qt's platform plugins for the
# windows, and the desktop's opener for the help pages. Qt's JPEG reader, which decodes the
# pictures, ships in libqt6gui6 itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET tellvane)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
endif()
# The removal notes how users take away the menu items in their home folders.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/prerm)
include(CPack)
