# The Linux download: `cmake --build BUILD --target package` in a native build makes one .deb per
# component, each a package a Debian system installs as it would its own:
#  - lumivar_VERSION_ARCH.deb: the program (stripped; scripts/package.sh builds it in Release with
#    dpkg-buildflags' hardening), the udev rule that lets the logged-in user reach the NVIDIA
#    adapters only, the file that loads i2c-dev at boot, the man page, the copyright and the
#    changelog;
#  - lumivar-panel_VERSION_ARCH.deb, where the build has the Qt panel: the panel, its desktop
#    entry, AppStream metainfo, icons, man page, copyright and changelog. It needs lumivar of the
#    same version (the udev rule, the module), so that command-line users do not pull in Qt.
# Their dependencies come from dpkg-shlibdeps. The same commit gives the same bytes.
set(deb_sources ${PROJECT_SOURCE_DIR}/packaging/linux)
set(deb_staging ${PROJECT_BINARY_DIR}/packaging/linux)

# dpkg and lintian take the changelog's newest entry for the package's version.
function(lumivar_check_changelog changelog package)
    file(STRINGS ${changelog} newest_entry LIMIT_COUNT 1)
    if(NOT newest_entry MATCHES "^${package} \\(${PROJECT_VERSION}\\) ")
        message(FATAL_ERROR "${changelog}: the newest entry is not ${package} ${PROJECT_VERSION}")
    endif()
endfunction()
lumivar_check_changelog(${deb_sources}/changelog lumivar)

# gzip -n: no name or date in the header, so the same text gives the same bytes.
function(lumivar_gzip document compressed)
    add_custom_command(OUTPUT ${compressed}
        COMMAND gzip -9nc ${document} > ${compressed}
        DEPENDS ${document}
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY lumivar_deb_documents ${compressed})
endfunction()

# As dh_strip does: no symbols, no compiler's comment; the build id stays.
function(lumivar_install_program target component)
    install(TARGETS ${target} RUNTIME DESTINATION bin COMPONENT ${component})
    install(CODE "execute_process(
        COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/${target}\"
        COMMAND_ERROR_IS_FATAL ANY)" COMPONENT ${component})
endfunction()

# The command line. Relative destinations land under /usr in the package.
configure_file(${deb_sources}/lumivar.1.in ${deb_staging}/lumivar.1 @ONLY)
lumivar_gzip(${deb_staging}/lumivar.1 ${deb_staging}/lumivar.1.gz)
lumivar_gzip(${deb_sources}/changelog ${deb_staging}/changelog.gz)
lumivar_install_program(lumivar lumivar)
# Below 73, where udev turns the uaccess tag into the seat user's access.
install(FILES ${deb_sources}/70-lumivar.rules DESTINATION lib/udev/rules.d COMPONENT lumivar)
install(FILES ${deb_sources}/lumivar.conf DESTINATION lib/modules-load.d COMPONENT lumivar)
install(FILES ${deb_staging}/lumivar.1.gz DESTINATION share/man/man1 COMPONENT lumivar)
install(FILES ${deb_sources}/copyright ${deb_staging}/changelog.gz DESTINATION share/doc/lumivar
        COMPONENT lumivar)
set(deb_components lumivar)

# The panel, where the build has it. Desktop entry, metainfo and icons go by the application's
# id, which the panel also gives Qt as its desktop file name (Wayland's app id).
if(TARGET lumivar-panel)
    set(panel_sources ${deb_sources}/panel)
    set(panel_staging ${deb_staging}/panel)
    set(panel_id com.voxa.lumivar.panel)
    lumivar_check_changelog(${panel_sources}/changelog lumivar-panel)
    configure_file(${panel_sources}/lumivar-panel.1.in ${panel_staging}/lumivar-panel.1 @ONLY)
    configure_file(${panel_sources}/${panel_id}.metainfo.xml.in
                   ${panel_staging}/${panel_id}.metainfo.xml @ONLY)
    lumivar_gzip(${panel_staging}/lumivar-panel.1 ${panel_staging}/lumivar-panel.1.gz)
    lumivar_gzip(${panel_sources}/changelog ${panel_staging}/changelog.gz)
    set(icon_sizes 48 128 256)
    set(icons ${panel_staging}/icons/lumivar.svg)
    foreach(size ${icon_sizes})
        list(APPEND icons ${panel_staging}/icons/lumivar-${size}.png)
    endforeach()
    add_custom_command(OUTPUT ${icons}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${panel_staging}/icons
        COMMAND icon_generator ${panel_staging}/icons
        DEPENDS icon_generator
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY lumivar_deb_documents ${icons})

    lumivar_install_program(lumivar-panel panel)
    install(FILES ${panel_sources}/${panel_id}.desktop DESTINATION share/applications
            COMPONENT panel)
    install(FILES ${panel_staging}/${panel_id}.metainfo.xml DESTINATION share/metainfo
            COMPONENT panel)
    foreach(size ${icon_sizes})
        install(FILES ${panel_staging}/icons/lumivar-${size}.png
                DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${panel_id}.png
                COMPONENT panel)
    endforeach()
    install(FILES ${panel_staging}/icons/lumivar.svg DESTINATION share/icons/hicolor/scalable/apps
            RENAME ${panel_id}.svg COMPONENT panel)
    install(FILES ${panel_staging}/lumivar-panel.1.gz DESTINATION share/man/man1 COMPONENT panel)
    install(FILES ${panel_sources}/copyright ${panel_staging}/changelog.gz
            DESTINATION share/doc/lumivar-panel COMPONENT panel)
    list(APPEND deb_components panel)
endif()
get_property(deb_documents GLOBAL PROPERTY lumivar_deb_documents)
add_custom_target(lumivar_deb_documents ALL DEPENDS ${deb_documents})

set(LUMIVAR_DEB_MAINTAINER
    "VOXA LED Lumivar maintainers <maintainers@users.noreply.c-seed-8c9d00d2.example>"
    CACHE STRING "The Maintainer field of the .deb")
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${deb_components})
set(CPACK_PACKAGE_NAME lumivar)
set(CPACK_PACKAGE_VENDOR VOXA)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LUMIVAR_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Each description's first line is its package's summary.
set(CPACK_DEBIAN_LUMIVAR_PACKAGE_NAME lumivar)
set(CPACK_DEBIAN_LUMIVAR_DESCRIPTION
"RGB lighting control for SKARNE GeForce RTX boards
lumivar sets the lighting of the LED controller on SKARNE graphics boards with
a GeForce RTX 3090, 3080, 3070, 2080 Ti, 2080, 2080 SUPER or 2070 SUPER: mode,
colour, shade, blink interval, brightness, LEDs on or off. It talks to the
controller through the NVIDIA driver's I2C adapters (i2c-dev), keeps each
board's settings and restores them at login and after resume.
.
A udev rule gives the logged-in user access to the NVIDIA I2C adapters only,
and i2c-dev is loaded at boot.")
# Loads i2c-dev and applies the udev rule at once, instead of at the next boot.
set(CPACK_DEBIAN_LUMIVAR_PACKAGE_CONTROL_EXTRA ${deb_sources}/postinst)
set(CPACK_DEBIAN_PANEL_PACKAGE_NAME lumivar-panel)
# Qt's libraries come from dpkg-shlibdeps; the Wayland platform and a Japanese font are what a
# desktop needs to show the window and its texts, but neither is needed to run it.
set(CPACK_DEBIAN_PANEL_PACKAGE_DEPENDS "lumivar (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_PANEL_PACKAGE_RECOMMENDS "qt6-wayland, fonts-vlgothic | fonts-ipafont-gothic")
set(CPACK_DEBIAN_PANEL_DESCRIPTION
"RGB lighting panel for SKARNE GeForce RTX boards
lumivar-panel is the VOXA LED Lumivar control panel for the desktop, in
Japanese: pick the board, the lighting mode and the colour on a hue disc or as
red, green and blue, the shade, the blink interval, the brightness and LEDs on
or off, then apply. It sends what lumivar sends, through the same I2C
adapters, and keeps what it applies for the lumivar keeper to restore.")
set(CPACK_LUMIVAR_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${deb_sources}/SourceDate.cmake)
include(CPack)
