# CPack's DEB generator dates every member of the package with SOURCE_DATE_EPOCH when it is set:
# the last commit's date, as the zip gets, so that the same commit gives the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${CPACK_LUMIVAR_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_failed ERROR_QUIET)
    if(git_failed OR commit_time STREQUAL "")
        set(commit_time 1704067200)  # 2024-01-01 00:00:00 UTC, as for the zip
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
endif()
