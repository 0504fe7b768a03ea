# Each area of Source/ is one static library of every .cpp below its folder, linking the area
# below it. PRIVATE_LIBS stay inside the area: their headers are not seen above it.
# kestrin_area(<Target> <folder> [DEPENDS targets...] [PUBLIC_LIBS libs...] [PRIVATE_LIBS libs...])
function(kestrin_area target folder)
    cmake_parse_arguments(A "" "" "DEPENDS;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/Source)
    target_link_libraries(${target} PUBLIC ${A_DEPENDS} ${A_PUBLIC_LIBS} PRIVATE ${A_PRIVATE_LIBS})
endfunction()

# kestrin_select_test_sources(<out> sources...): all the sources, or with KESTRIN_TEST_FILTER set, the
# ones declaring a test whose Suite.Name matches it plus the ones declaring no test (the helpers).
# Empty when no test matches.
function(kestrin_select_test_sources out)
    if(NOT KESTRIN_TEST_FILTER)
        set(${out} ${ARGN} PARENT_SCOPE)
        return()
    endif()
    set(tests "")
    set(helpers "")
    set(space "[ \t\r\n]*")
    set(word "[A-Za-z0-9_]+")
    foreach(src ${ARGN})
        # A test added to or renamed in a file already there changes the selection.
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
        file(READ ${src} text)
        string(REGEX MATCHALL "(^|[^A-Za-z0-9_])(TYPED_)?TEST(_F|_P)?${space}\\(${space}${word}${space},${space}${word}"
               declarations "${text}")
        if(NOT declarations)
            list(APPEND helpers ${src})
        endif()
        foreach(declaration ${declarations})
            string(REGEX REPLACE ".*\\(${space}(${word})${space},${space}(${word})$" "\\1.\\2" name "${declaration}")
            if(name MATCHES "${KESTRIN_TEST_FILTER}")
                list(APPEND tests ${src})
                break()
            endif()
        endforeach()
    endforeach()
    if(tests)
        set(${out} ${tests} ${helpers} PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

# kestrin_tests(<Area> [DEPENDS targets...]): tests/<Area>/*.cpp as one GoogleTest executable,
# linked with KestrinTestSupport (add KestrinEngineTestSupport for the engine's fakes). Tests
# that read committed files find them under KESTRIN_SOURCE_DIR. COST hints that the executable
# holds long tests: ctest starts tests of a higher cost first when it has no times of its own yet.
function(kestrin_tests area)
    cmake_parse_arguments(A "" "COST" "DEPENDS" ${ARGN})
    if(NOT A_COST)
        set(A_COST 0)
    endif()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp)
    set(target ${area}Tests)
    kestrin_select_test_sources(selected ${sources})
    if(NOT selected)
        # Nothing matches the filter: the target stays for its callers' settings, unbuilt and unrun.
        add_executable(${target} EXCLUDE_FROM_ALL ${sources})
        target_link_libraries(${target} PRIVATE ${A_DEPENDS} KestrinTestSupport)
        return()
    endif()
    add_executable(${target} ${selected})
    target_link_libraries(${target} PRIVATE ${A_DEPENDS} KestrinTestSupport)
    target_compile_definitions(${target} PRIVATE KESTRIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    # The discovered tests' properties are one flat list of names and values: one value each. Each
    # test needs the checkout fixture (tests/CMakeLists.txt), so every run checks the checkout.
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PROPERTIES ENVIRONMENT TZ=UTC ENVIRONMENT_MODIFICATION LC_ALL=set:C COST ${A_COST}
                   FIXTURES_REQUIRED Checkout)
endfunction()
