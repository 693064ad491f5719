# Shared compile settings and the helpers every folder uses to declare its target.

add_library(pagelyst_options INTERFACE)
target_compile_options(pagelyst_options INTERFACE -Wall -Wextra -Wpedantic)
if(PAGELYST_WERROR)
    target_compile_options(pagelyst_options INTERFACE -Werror)
endif()
if(PAGELYST_SANITIZE)
    add_compile_options(-fsanitize=${PAGELYST_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${PAGELYST_SANITIZE})
endif()
if(PAGELYST_BUILD_FUZZ)
    # Everything is instrumented for coverage; only the fuzz targets link the fuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# pagelyst_library(NAME [DEPS lib...] [PRIVATE_DEPS lib...] [SUBDIRS dir...])
# One static library per folder, made of the *.cpp files of the folder and of the sub-folders
# named in SUBDIRS; the repository root is the include root, so headers are included as
# "engine/items/WebItem.h".
function(pagelyst_library name)
    cmake_parse_arguments(L "" "" "DEPS;PRIVATE_DEPS;SUBDIRS" ${ARGN})
    set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
    foreach(dir IN LISTS L_SUBDIRS)
        list(APPEND patterns ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    endforeach()
    file(GLOB sources CONFIGURE_DEPENDS ${patterns})
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_DEPS} PRIVATE pagelyst_options ${L_PRIVATE_DEPS})
endfunction()

# pagelyst_test(NAME SOURCES ... LIBS ... [THREADS] [TIMEOUT seconds] [REQUIRES fixture]
#               [COST seconds])
# A GoogleTest executable whose cases CTest runs one by one. THREADS marks suites that also
# run under ThreadSanitizer (ctest -L threads in a build configured with PAGELYST_SANITIZE=thread).
# Each case may run for TIMEOUT seconds (120 unless given); with REQUIRES, after the CTest
# fixture's setup test. COST, a case's expected seconds, lets CTest start the long ones first in
# a tree that has not recorded its test times yet (a clean clone).
function(pagelyst_test name)
    cmake_parse_arguments(T "THREADS" "TIMEOUT;REQUIRES;COST" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} pagelyst_options GTest::gmock GTest::gtest_main)
    # One label each: a list value would be split into separate properties here.
    set(label unit)
    if(T_THREADS)
        set(label threads)
        add_dependencies(threaded-tests ${name})
    endif()
    set(fixture "")
    if(T_REQUIRES)
        set(fixture FIXTURES_REQUIRED ${T_REQUIRES})
    endif()
    set(cost "")
    if(T_COST)
        set(cost COST ${T_COST})
    endif()
    gtest_discover_tests(${name} PROPERTIES LABELS ${label} TIMEOUT ${T_TIMEOUT} ${fixture} ${cost}
                         DISCOVERY_TIMEOUT 60)
endfunction()

# pagelyst_fuzzer(NAME SOURCE lib...): a libFuzzer executable of one source file linked with the
# libraries that follow it, built only with PAGELYST_BUILD_FUZZ.
function(pagelyst_fuzzer name source)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARGN} pagelyst_options)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers ${name})
endfunction()
