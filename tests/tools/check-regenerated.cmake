# The committed artwork is what the generator draws: regenerate into a fresh folder and compare
# byte for byte.
# cmake -DGENERATOR=... -DRESOURCES=... -DWORK=... -P check-regenerated.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${GENERATOR}" "${WORK}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "skin_generator failed: ${status}")
endif()

foreach(name skin1.bin skin2.bin lumivar.ico)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${name}"
                            "${RESOURCES}/${name}" RESULT_VARIABLE different)
    if(different)
        message(SEND_ERROR "resources/${name} differs from what skin_generator draws; "
                           "regenerate with: skin_generator resources")
    else()
        message(STATUS "${name}: matches")
    endif()
endforeach()
