# SPDX-License-Identifier: MIT
# Windows: `./build.sh windows` leaves build-windows/tabellone-1.0.4-win64.zip
# (unpack anywhere, start tabellone.exe) and tabellone-1.0.4-win64-setup.exe.
# Both hold one folder: the program, its 91 pictures, and everything it
# loads at run time, each listed here with the reason it is needed.

install(TARGETS tabellone RUNTIME DESTINATION .)
# The network module (the one-board channel and the phones' page), loaded when first needed.
install(TARGETS tabellone_rete LIBRARY DESTINATION .)
foreach(n RANGE 0 90)
    if(n LESS 10)
        set(n "0${n}")
    endif()
    install(FILES ${CMAKE_BINARY_DIR}/img${n}.gif DESTINATION .)
endforeach()

# Qt's libraries the program and its network module link, and the MinGW runtime they and it link.
foreach(dll Qt6Core Qt6Gui Qt6Widgets Qt6Network Qt6WebSockets Qt6HttpServer)
    install(FILES ${QT6_INSTALL_PREFIX}/bin/${dll}.dll DESTINATION .)
endforeach()
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE percorso OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${percorso}" OR NOT EXISTS "${percorso}")
        message(FATAL_ERROR "MinGW runtime ${dll} not found")
    endif()
    # Debian's copies keep their symbols (libstdc++ alone is 23 MB): stripped copies go in.
    set(copia ${CMAKE_BINARY_DIR}/runtime/${dll})
    add_custom_command(OUTPUT ${copia}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/runtime
        COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${copia} ${percorso}
        DEPENDS ${percorso} VERBATIM)
    list(APPEND runtime_spogliato ${copia})
    install(FILES ${copia} DESTINATION .)
endforeach()
add_custom_target(runtime_mingw ALL DEPENDS ${runtime_spogliato})
# Plugins Qt loads by name: the Windows platform, GIF for the pictures, the
# native look; found beside the executable in folders named as Qt names them.
install(FILES ${QT6_INSTALL_PREFIX}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${QT6_INSTALL_PREFIX}/plugins/imageformats/qgif.dll DESTINATION imageformats)
install(FILES ${QT6_INSTALL_PREFIX}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
# Italian message-box buttons ("Sì", "No", "Annulla"); qt.conf tells Qt where.
set(TABELLONE_TRADUZIONI /usr/share/qt6/translations CACHE PATH "Folder holding qtbase_it.qm")
install(FILES ${TABELLONE_TRADUZIONI}/qtbase_it.qm DESTINATION translations)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/qt.conf DESTINATION .)
# Free faces for the two fonts Windows may lack, loaded only if it does.
set(TABELLONE_CARATTERI
    /usr/share/fonts/truetype/quicksand/Quicksand-Bold.ttf
    /usr/share/fonts/truetype/quicksand/Quicksand-Regular.ttf
    /usr/share/fonts/opentype/dancingscript/DancingScript-Regular.otf
    /usr/share/fonts/opentype/dancingscript/DancingScript-Bold.otf)
install(FILES ${TABELLONE_CARATTERI} DESTINATION caratteri)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(DIRECTORY ${QT6_INSTALL_PREFIX}/LICENSES/ DESTINATION licenze/Qt)
# Qt HttpServer is GPL-3.0 only: the program as built is distributed under GPL-3.0 terms.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/LICENSES/ DESTINATION licenze)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME tabellone)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${IDENTITA_Titolo}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tabellone elettronico per giocare a tombola")
set(CPACK_PACKAGE_FILE_NAME tabellone-${PROJECT_VERSION}-win64)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# The installer: 64-bit, into Program Files, a Start-menu entry, an entry in
# the installed programs with its uninstaller, Italian texts.
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${IDENTITA_Titolo}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${IDENTITA_Titolo}")
set(CPACK_PACKAGE_EXECUTABLES tabellone "${IDENTITA_Titolo}")
# The program sits in the install folder itself, not in a bin folder below it:
# the Start-menu shortcut must point there.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "${IDENTITA_Titolo}")
set(CPACK_NSIS_DISPLAY_NAME "${IDENTITA_Titolo}")
set(CPACK_NSIS_INSTALLED_ICON_NAME tabellone.exe)
set(CPACK_NSIS_MUI_ICON ${TABELLONE_ICO})
set(CPACK_NSIS_MUI_UNIICON ${TABELLONE_ICO})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# CPack's template with Italian as the installer's only language, and an
# Italian name for the uninstaller's Start-menu entry (made, then removed twice).
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in modello)
string(REGEX REPLACE "  !insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n" "" modello "${modello}")
string(REPLACE ";Languages\n" ";Languages\n  !insertmacro MUI_LANGUAGE \"Italian\"\n"
       modello_italiano "${modello}")
string(REGEX MATCHALL "\\\\Uninstall\\.lnk\"" collegamenti_disinstalla "${modello_italiano}")
list(LENGTH collegamenti_disinstalla quanti_disinstalla)
string(REPLACE "\\Uninstall.lnk\"" "\\Disinstalla ${IDENTITA_Titolo}.lnk\"" modello_italiano "${modello_italiano}")
if(modello_italiano STREQUAL modello OR NOT quanti_disinstalla EQUAL 3)
    message(FATAL_ERROR "CPack's NSIS template changed: no place for the installer language or the uninstaller's entry")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/cpack/NSIS.template.in "${modello_italiano}")
set(CPACK_MODULE_PATH ${CMAKE_BINARY_DIR}/cpack)
# The phones' page: the installer lets the program receive connections on
# private networks (the hall's Wi-Fi), never public ones, and the uninstaller
# takes that rule away. A failure (no netsh) only leaves the firewall to ask.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  nsExec::ExecToLog 'netsh advfirewall firewall delete rule name="Tabellone Tombola"'
  nsExec::ExecToLog 'netsh advfirewall firewall add rule name="Tabellone Tombola" dir=in action=allow program="$INSTDIR\tabellone.exe" enable=yes profile=private'
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  nsExec::ExecToLog 'netsh advfirewall firewall delete rule name="Tabellone Tombola"'
]=])
# The installer is named apart from the zip.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_windows.cmake)

include(CPack)
