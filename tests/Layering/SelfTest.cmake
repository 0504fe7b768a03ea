# Runs the include checker on the sample tree beside this file: it must fail, and report exactly
# the lines of Expected.txt, no more and no fewer.
#     cmake -DCHECKER=<CheckLayering.cmake> -P SelfTest.cmake
cmake_minimum_required(VERSION 3.25)
set(here ${CMAKE_CURRENT_LIST_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${here}/Source -P ${CHECKER}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(status EQUAL 0)
    message(FATAL_ERROR "The checker passed a tree that breaks the area order:\n${out}${err}")
endif()

string(REPLACE "\n" ";" lines "${err}")
set(reported "")
foreach(line IN LISTS lines)
    if(line MATCHES "^[A-Za-z]+/[^ ]*: ")
        list(APPEND reported "${line}")
    endif()
endforeach()
file(STRINGS ${here}/Expected.txt expected)

set(missing ${expected})
list(REMOVE_ITEM missing ${reported})
set(extra ${reported})
list(REMOVE_ITEM extra ${expected})
list(LENGTH expected expected_count)
list(LENGTH reported reported_count)
if(missing OR extra OR NOT expected_count EQUAL reported_count)
    string(REPLACE ";" "\n  " missing "${missing}")
    string(REPLACE ";" "\n  " extra "${extra}")
    message(FATAL_ERROR "The checker's report differs from Expected.txt\nnot reported:\n  ${missing}\n"
                        "not expected:\n  ${extra}\n(${reported_count} lines, ${expected_count} expected)")
endif()
if(NOT err MATCHES "\n${expected_count} problems with the area order")
    message(FATAL_ERROR "The checker does not count its ${expected_count} problems:\n${err}")
endif()
message("The checker fails the sample tree with the ${expected_count} expected problems")
