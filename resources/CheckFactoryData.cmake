# Runs the generator into a scratch folder and compares its output byte for byte
# with the checked-in files.
#   cmake -DGENERATOR=... -DSOURCE=.../factory_programs.txt -DRESOURCES=... -DWORK_DIR=... -P CheckFactoryData.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

execute_process(COMMAND "${GENERATOR}" "${SOURCE}" "${WORK_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_factory_data failed: ${result}")
endif()

foreach(name FactoryData.bin InitProgramDump.syx)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK_DIR}/${name}" "${RESOURCES}/${name}"
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "${name} differs from what make_factory_data builds from ${SOURCE}")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
