# CPack's zip carries each file's access and change times and its owner; rewrite it so that the
# same commit always gives the same bytes.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    execute_process(
        COMMAND ${CPACK_LUMIVAR_PYTHON} ${CPACK_LUMIVAR_SOURCE_DIR}/packaging/normalize_zip.py
                ${package} ${CPACK_LUMIVAR_SOURCE_DIR}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
