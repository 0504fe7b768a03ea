# What a file of the checkout is before the tests run, and whether it is still so after them.
#     cmake -DFILE=<file> -DSTATE=<state file> -DMODE=record|compare -P Untouched.cmake
# record writes the file's hash (or "missing") to the state file; compare fails when the file is no
# longer what was recorded.
cmake_minimum_required(VERSION 3.25)
set(now missing)
if(EXISTS "${FILE}")
    file(SHA256 "${FILE}" now)
endif()
if(MODE STREQUAL "record")
    file(WRITE "${STATE}" "${now}")
elseif(MODE STREQUAL "compare")
    if(NOT EXISTS "${STATE}")
        message(FATAL_ERROR "Nothing was recorded in ${STATE} before the tests ran")
    endif()
    file(READ "${STATE}" before)
    if(NOT before STREQUAL now)
        message(FATAL_ERROR "A test wrote ${FILE} in the checkout (${before} before, ${now} after): "
                            "a test that plays a level runs it over a data folder of its own")
    endif()
else()
    message(FATAL_ERROR "MODE is record or compare, not \"${MODE}\"")
endif()
