# Draws the artwork into a scratch folder and compares every picture byte for
# byte with the checked-in one; a picture on one side only fails too.
#   cmake -DGENERATOR=... -DFONTS=... -DARTWORK=... -DWORK_DIR=... -P CheckArtwork.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

execute_process(COMMAND "${GENERATOR}" "${WORK_DIR}" "${FONTS}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_artwork failed: ${result}")
endif()

file(GLOB drawn RELATIVE "${WORK_DIR}" "${WORK_DIR}/*.png")
file(GLOB checked RELATIVE "${ARTWORK}" "${ARTWORK}/*.png")
list(SORT drawn)
list(SORT checked)
if(NOT drawn STREQUAL checked)
    message(FATAL_ERROR "The checked-in pictures (${checked}) are not the drawn ones (${drawn})")
endif()

foreach(name ${drawn})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK_DIR}/${name}" "${ARTWORK}/${name}"
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "${name} differs from what make_artwork draws: run make_artwork resources/artwork")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
