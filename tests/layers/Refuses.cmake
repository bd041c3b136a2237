# Passes only when a layer check fails, and fails for the reason given: a check that passes, or
# that fails for another reason, fails the test. (WILL_FAIL would pass on any failure, a missing
# file included.)
#
# The include check on a fixture:
#   cmake -DCHECKER=tools/CheckLayers.cmake -DSOURCE_DIR=... -DTABLE=... -DEXPECT=regex
#         -P tests/layers/Refuses.cmake
# The build of the fixture tests/layers/upward with the project's furlox_layer, first without
# the upward include (it must build: the folders below are seen) and then with it (it must not):
#   cmake -DBUILD_FIXTURE=tests/layers/upward -DWORK=dir -DCMAKE_DIR=cmake -DCXX=compiler
#         -DEXPECT=regex -P tests/layers/Refuses.cmake
#
# CMake wraps its messages, so the output is matched with every run of blanks made one space.
cmake_minimum_required(VERSION 3.25)

function(expect_failure what result output)
    string(REGEX REPLACE "[ \t\r\n]+" " " flat "${output}")
    if(result EQUAL 0)
        message(FATAL_ERROR "${what} succeeded, but it must fail:\n${output}")
    endif()
    if(NOT flat MATCHES "${EXPECT}")
        message(FATAL_ERROR "${what} failed, but not with \"${EXPECT}\":\n${output}")
    endif()
    message(STATUS "${what} failed as it must: \"${EXPECT}\"")
endfunction()

if(DEFINED CHECKER)
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -DTABLE=${TABLE}
                            -P ${CHECKER}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    expect_failure("the include check" "${result}" "${output}")
    return()
endif()

file(REMOVE_RECURSE ${WORK})
foreach(upward OFF ON)
    execute_process(COMMAND ${CMAKE_COMMAND} -S ${BUILD_FIXTURE} -B ${WORK}
                            -DCMAKE_CXX_COMPILER=${CXX} -DFURLOX_CMAKE_DIR=${CMAKE_DIR}
                            -DFIXTURE_UPWARD=${upward}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "configuring the fixture failed:\n${output}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(upward)
        expect_failure("the build with the upward include" "${result}" "${output}")
    elseif(NOT result EQUAL 0)
        message(FATAL_ERROR "the fixture without the upward include must build:\n${output}")
    else()
        message(STATUS "the fixture's downward includes build")
    endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
