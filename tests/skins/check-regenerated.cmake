# The committed artwork is what the generator draws: regenerate into a fresh folder and compare
# byte for byte, and check the stored sizes the program expects.
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

foreach(entry skin1.bin:270028 skin2.bin:8692)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 size)
    file(SIZE "${RESOURCES}/${name}" actual)
    if(NOT actual EQUAL size)
        message(SEND_ERROR "resources/${name} is ${actual} bytes, not ${size}")
    endif()
endforeach()
