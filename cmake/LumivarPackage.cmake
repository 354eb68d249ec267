# The download: `cmake --build BUILD --target package` in a Windows build makes
# LEDLumivar-VERSION-win64.zip (or -win32): one folder holding the panel, lumivar.exe and its
# windowed twin lumivarw.exe (the keeper at logon), stripped, and the users' README.txt. Nothing
# else is installed, so nothing else reaches the zip. The same commit gives the same bytes.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in ${PROJECT_BINARY_DIR}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
install(TARGETS LEDLumivar lumivar lumivarw RUNTIME DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
# strip stamps the PE header with the time unless told a date; 0, as the linker leaves it.
foreach(program LEDLumivar.exe lumivar.exe lumivarw.exe)
    install(CODE "execute_process(
        COMMAND \${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                ${CMAKE_STRIP} --strip-all \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${program}\"
        COMMAND_ERROR_IS_FATAL ANY)")
endforeach()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
else()
    set(CPACK_SYSTEM_NAME win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME LEDLumivar)
set(CPACK_PACKAGE_VENDOR VOXA)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_LUMIVAR_PYTHON ${Python3_EXECUTABLE})
set(CPACK_LUMIVAR_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/NormalizeZip.cmake)
include(CPack)
