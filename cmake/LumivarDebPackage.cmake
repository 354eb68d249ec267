# The Linux download: `cmake --build BUILD --target package` in a native build makes
# lumivar_VERSION_ARCH.deb, a package a Debian system installs as it would its own: the program
# (stripped; scripts/package.sh builds it in Release with dpkg-buildflags' hardening), the udev
# rule that lets the logged-in user reach the NVIDIA adapters only, the file that loads i2c-dev
# at boot, the man page, the copyright and the changelog. Its dependencies come from
# dpkg-shlibdeps. The same commit gives the same bytes.
set(deb_sources ${PROJECT_SOURCE_DIR}/packaging/linux)
set(deb_staging ${PROJECT_BINARY_DIR}/packaging/linux)

# dpkg and lintian take the changelog's newest entry for the package's version.
file(STRINGS ${deb_sources}/changelog newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^lumivar \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR
            "packaging/linux/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()

configure_file(${deb_sources}/lumivar.1.in ${deb_staging}/lumivar.1 @ONLY)
# gzip -n: no name or date in the header, so the same text gives the same bytes.
foreach(document ${deb_staging}/lumivar.1 ${deb_sources}/changelog)
    get_filename_component(name ${document} NAME)
    add_custom_command(OUTPUT ${deb_staging}/${name}.gz
        COMMAND gzip -9nc ${document} > ${deb_staging}/${name}.gz
        DEPENDS ${document}
        VERBATIM)
    list(APPEND deb_documents ${deb_staging}/${name}.gz)
endforeach()
add_custom_target(lumivar_deb_documents ALL DEPENDS ${deb_documents})

# Relative destinations land under /usr in the package.
install(TARGETS lumivar RUNTIME DESTINATION bin)
# As dh_strip does: no symbols, no compiler's comment; the build id stays.
install(CODE "execute_process(
    COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/lumivar\"
    COMMAND_ERROR_IS_FATAL ANY)")
# Below 73, where udev turns the uaccess tag into the seat user's access.
install(FILES ${deb_sources}/70-lumivar.rules DESTINATION lib/udev/rules.d)
install(FILES ${deb_sources}/lumivar.conf DESTINATION lib/modules-load.d)
install(FILES ${deb_staging}/lumivar.1.gz DESTINATION share/man/man1)
install(FILES ${deb_sources}/copyright ${deb_staging}/changelog.gz DESTINATION share/doc/lumivar)

set(LUMIVAR_DEB_MAINTAINER
    "VOXA LED Lumivar maintainers <maintainers@users.noreply.c-seed-8c9d00d2.example>"
    CACHE STRING "The Maintainer field of the .deb")
set(CPACK_GENERATOR DEB)
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
# Loads i2c-dev and applies the udev rule at once, instead of at the next boot.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${deb_sources}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "RGB lighting control for SKARNE GeForce RTX boards")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"lumivar sets the lighting of the LED controller on SKARNE graphics boards with
a GeForce RTX 3090, 3080, 3070, 2080 Ti, 2080, 2080 SUPER or 2070 SUPER: mode,
colour, shade, blink interval, brightness, LEDs on or off. It talks to the
controller through the NVIDIA driver's I2C adapters (i2c-dev), keeps each
board's settings and restores them at login and after resume.
.
A udev rule gives the logged-in user access to the NVIDIA I2C adapters only,
and i2c-dev is loaded at boot.")
set(CPACK_LUMIVAR_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${deb_sources}/SourceDate.cmake)
include(CPack)
