# Installation as a desktop program (`cmake --install`, `make install`) and the
# Debian package (`make package`, CPack's DEB generator).
include(GNUInstallDirs)

set(QUORLIN_APP_ID org.quorlin.Quorlin)
set(data_dir ${PROJECT_SOURCE_DIR}/data)
set(staged_dir ${CMAKE_BINARY_DIR}/install-data)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quorlin)

# Installing, and so packaging, needs only the program and its data (see
# quorlin_install_data), not the tests and benchmarks of `all`.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# Debian installs directories 0755 whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The fixed-size icons are drawn from the scalable one, so there is one picture
# to maintain; themes without SVG support and some docks need them.
find_program(QUORLIN_RSVG_CONVERT rsvg-convert)
find_program(QUORLIN_GZIP gzip REQUIRED)
set(staged_files)
if(QUORLIN_RSVG_CONVERT)
    foreach(size 48 64 128 256)
        set(png ${staged_dir}/icons/${size}x${size}/${QUORLIN_APP_ID}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${staged_dir}/icons/${size}x${size}
            COMMAND ${QUORLIN_RSVG_CONVERT} -w ${size} -h ${size} -o ${png}
                    ${data_dir}/${QUORLIN_APP_ID}.svg
            DEPENDS ${data_dir}/${QUORLIN_APP_ID}.svg VERBATIM)
        list(APPEND staged_files ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
else()
    message(WARNING "rsvg-convert (librsvg2-bin) not found: only the scalable icon is installed")
endif()

# Manual pages and changelogs are installed compressed, without a time stamp so
# that the package builds the same twice.
foreach(doc quorlin.1 changelog.Debian)
    add_custom_command(OUTPUT ${staged_dir}/${doc}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${data_dir}/${doc} ${staged_dir}/${doc}
        COMMAND ${QUORLIN_GZIP} -9nf ${staged_dir}/${doc}
        DEPENDS ${data_dir}/${doc} VERBATIM)
    list(APPEND staged_files ${staged_dir}/${doc}.gz)
endforeach()

# Built with the program, so that an install right after building it finds them.
add_custom_target(quorlin_install_data ALL DEPENDS ${staged_files})
add_dependencies(quorlin quorlin_install_data)

# An installed program finds its libraries where the system keeps them, and
# resolves them all at start so its relocations can be made read-only.
foreach(program quorlin quorlin_command)
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "")
    target_link_options(${program} PRIVATE LINKER:-z,relro LINKER:-z,now)
endforeach()
install(TARGETS quorlin_command RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS quorlin RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quorlin)
install(FILES ${data_dir}/${QUORLIN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data_dir}/${QUORLIN_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${data_dir}/${QUORLIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${staged_dir}/quorlin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${data_dir}/copyright ${staged_dir}/changelog.Debian.gz DESTINATION ${doc_dir})

# The login entry belongs in the system's configuration folder, which
# GNUInstallDirs works out from the prefix when the build is configured. The
# prefix may still change at install time (`cmake --install --prefix`, CPack's
# /usr), so the same rule is applied then: /etc for /usr, else etc under the
# prefix. file(INSTALL) adds DESTDIR itself.
install(CODE "
    set(sysconf \"${CMAKE_INSTALL_SYSCONFDIR}\")
    if(NOT IS_ABSOLUTE \"\${sysconf}\")
        if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
            set(sysconf /etc)
        else()
            set(sysconf \"\${CMAKE_INSTALL_PREFIX}/\${sysconf}\")
        endif()
    endif()
    file(INSTALL DESTINATION \"\${sysconf}/xdg/autostart\" TYPE FILE
         RENAME ${QUORLIN_APP_ID}.desktop FILES \"${data_dir}/${QUORLIN_APP_ID}.autostart.desktop\")
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorlin)
set(CPACK_PACKAGE_VENDOR "The Quorlin developers")
set(CPACK_PACKAGE_CONTACT "The Quorlin developers <developers@quorlin.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen application launcher with folders")
# Lines as they appear in the package's description.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Quorlin shows the installed applications as a paged grid of large icons"
    "over the blurred desktop picture, with a search field that narrows the grid"
    "while typing; a click starts an application and puts the launcher away."
    "."
    "The grid is arranged by drag and drop: drop an icon on another to move it,"
    "or rest on it for half a second to make a folder of the two. Applications"
    "can be hidden, moved to the Trash or shown in the file manager."
    "."
    "Quorlin starts hidden at login and keeps running; F4 shows and hides it"
    "from any application, on X11 and on Wayland.")
# The package installs into /usr and the login entry into /etc, so CPack stages
# through DESTDIR with the prefix the install rules see set to /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quorlin.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The login entry is configuration: an administrator's edit survives upgrades.
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "/etc/xdg/autostart/${QUORLIN_APP_ID}.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
# The libraries come from dpkg-shlibdeps; the QML modules the screens import and
# the SVG image plugin that draws theme icons are loaded at run time, so no
# linker sees them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6svg6, qml6-module-qtqml, qml6-module-qtqml-models, qml6-module-qtqml-workerscript, \
qml6-module-qtquick, qml6-module-qtquick-controls, qml6-module-qtquick-templates")
# Icons of application bundles (icns) and the Wayland platform.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, qt6-wayland")
include(CPack)
