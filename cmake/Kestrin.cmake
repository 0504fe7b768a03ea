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

# kestrin_tests(<Area> [DEPENDS targets...]): tests/<Area>/*.cpp as one GoogleTest executable,
# linked with KestrinTestSupport (add KestrinEngineTestSupport for the engine's fakes). Tests
# that read committed files find them under KESTRIN_SOURCE_DIR.
function(kestrin_tests area)
    cmake_parse_arguments(A "" "" "DEPENDS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp)
    set(target ${area}Tests)
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${A_DEPENDS} KestrinTestSupport)
    target_compile_definitions(${target} PRIVATE KESTRIN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PROPERTIES ENVIRONMENT "TZ=UTC;LC_ALL=C")
endfunction()
