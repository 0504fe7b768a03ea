# Checks the includes of a source tree against the area order:
#     cmake -DROOT=<Source folder> -P CheckLayering.cmake
# A file in an area may include its own area and those below it; files outside the areas (the
# program's main) may include any area. SDL is included only under Platform. Each include that
# breaks the order is named, and the script fails.
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
    message(FATAL_ERROR "CheckLayering: give the folder to check with -DROOT=...")
endif()

# From the bottom up.
set(areas Base Framework Graphics Platform UI Scene Game Screens)

file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.hpp ${ROOT}/*.cpp ${ROOT}/*.inl)
list(SORT files)
set(problems 0)
set(report "")
foreach(file IN LISTS files)
    set(rank 99) # outside the areas
    set(area "")
    if(file MATCHES "^([^/]+)/")
        list(FIND areas "${CMAKE_MATCH_1}" found)
        if(found GREATER_EQUAL 0)
            set(rank ${found})
            set(area ${CMAKE_MATCH_1})
        endif()
    endif()
    file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*" "" target "${line}")
        string(REGEX REPLACE "^([<\"][^\">]*[\">]).*$" "\\1" target "${target}")
        if(target MATCHES "^<SDL" OR target MATCHES "^\"SDL")
            if(NOT area STREQUAL "Platform")
                string(APPEND report "${file}: #include ${target} is SDL outside Platform\n")
                math(EXPR problems "${problems} + 1")
            endif()
        elseif(target MATCHES "^[<\"]([A-Za-z]+)/")
            list(FIND areas "${CMAKE_MATCH_1}" included)
            if(included GREATER rank AND rank LESS 99)
                string(APPEND report "${file}: #include ${target} reaches up to ${CMAKE_MATCH_1}\n")
                math(EXPR problems "${problems} + 1")
            endif()
        endif()
    endforeach()
endforeach()

list(LENGTH files count)
if(problems GREATER 0)
    string(REPLACE ";" " -> " order "${areas}")
    message("${report}${problems} includes break the area order ${order}")
    message(FATAL_ERROR "CheckLayering failed")
endif()
message("CheckLayering: ${count} files keep the area order")
