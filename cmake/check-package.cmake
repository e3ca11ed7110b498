# Builds the release package and checks that its zip holds exactly the files it should,
# each the same as the one built or in the source tree:
#   cmake -DBUILD_DIR=<win32 build> -DSOURCE_DIR=<source> -DPACKAGE=<name> -P check-package.cmake
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package
                RESULT_VARIABLE built OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "building the package failed:\n${log}")
endif()
set(zip ${BUILD_DIR}/${PACKAGE}.zip)
if(NOT EXISTS ${zip})
    message(FATAL_ERROR "${zip} was not made:\n${log}")
endif()

set(unpacked ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${unpacked})
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${unpacked})
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${unpacked}/${PACKAGE} ${unpacked}/*)

# Each file of the package, and where its content comes from.
set(expected Tarnwick.dll tarnwick-sim.exe README.md examples/tarnwick.ini)
set(Tarnwick.dll_from ${BUILD_DIR}/Tarnwick.dll)
set(tarnwick-sim.exe_from ${BUILD_DIR}/tarnwick-sim.exe)
set(README.md_from ${SOURCE_DIR}/README.md)
set(examples/tarnwick.ini_from ${SOURCE_DIR}/examples/tarnwick.ini)
file(GLOB scenarios RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/examples/scenarios/*.scenario)
if(NOT scenarios)
    message(FATAL_ERROR "no example scenarios in ${SOURCE_DIR}/examples/scenarios")
endif()
foreach(scenario IN LISTS scenarios)
    list(APPEND expected ${scenario})
    set(${scenario}_from ${SOURCE_DIR}/${scenario})
endforeach()

list(SORT expected)
list(SORT found)
if(NOT found STREQUAL expected)
    string(REPLACE ";" "\n  " found_text "${found}")
    string(REPLACE ";" "\n  " expected_text "${expected}")
    message(FATAL_ERROR "${zip} holds\n  ${found_text}\ninstead of\n  ${expected_text}")
endif()
foreach(file IN LISTS expected)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${unpacked}/${PACKAGE}/${file}
                            ${${file}_from}
                    RESULT_VARIABLE different)
    if(different)
        message(FATAL_ERROR "${file} in the package differs from ${${file}_from}")
    endif()
endforeach()
file(REMOVE_RECURSE ${unpacked})
list(LENGTH expected count)
message(STATUS "${zip}: the ${count} files, as built")
