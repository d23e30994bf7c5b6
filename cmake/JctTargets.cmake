# Helpers that keep the per-layer targets uniform.

# jct_library(name [SOURCES f...] [GLOB dir] [EXCLUDE f...] [PROTOS f.proto...] LIBS deps...)
# A layer is a static library of its listed sources plus every .cpp of its folder.
function(jct_library name)
    cmake_parse_arguments(ARG "" "GLOB" "SOURCES;EXCLUDE;PROTOS;LIBS" ${ARGN})
    set(sources)
    foreach(src IN LISTS ARG_SOURCES)
        get_filename_component(abs ${src} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
        # A layer grows file by file; a source not written yet is simply not built.
        if(EXISTS ${abs})
            list(APPEND sources ${abs})
        endif()
    endforeach()
    if(ARG_GLOB)
        file(GLOB globbed CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${ARG_GLOB}/*.cpp ${CMAKE_SOURCE_DIR}/${ARG_GLOB}/*.ui)
        list(APPEND sources ${globbed})
    endif()
    foreach(src IN LISTS ARG_EXCLUDE)
        get_filename_component(abs ${src} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
        list(REMOVE_ITEM sources ${abs})
    endforeach()
    list(REMOVE_DUPLICATES sources)
    foreach(proto IN LISTS ARG_PROTOS)
        if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${proto})
            continue()
        endif()
        protobuf_generate_cpp(proto_src proto_hdr ${CMAKE_SOURCE_DIR}/${proto})
        # Generated code is not ours to keep warning-free.
        set_source_files_properties(${proto_src} PROPERTIES COMPILE_OPTIONS "-w")
        list(APPEND sources ${proto_src} ${proto_hdr})
    endforeach()
    if(NOT sources)
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_LIBS})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# jct_java_fixtures(target DIR dir [NAME name] [STUBS dir...]): compiles every .java below dir
# with javac --release 8 into <build>/fixtures/<name>/classes and packs them into
# <build>/fixtures/<name>/<name>.jar. Classes the sources use from the STUBS folders are compiled
# against but left out, as a component built against APIs it is not shipped with.
# The test target sees the folder as the macro JCT_FIXTURES_<NAME>.
function(jct_java_fixtures target)
    cmake_parse_arguments(ARG "" "DIR;NAME" "STUBS" ${ARGN})
    set(name ${ARG_NAME})
    if(NOT name)
        get_filename_component(name ${ARG_DIR} NAME)
    endif()
    file(GLOB_RECURSE java_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${ARG_DIR}/*.java)
    set(out ${CMAKE_BINARY_DIR}/fixtures/${name})
    set(stub_options)
    set(stub_sources_all)
    if(ARG_STUBS)
        set(stub_paths)
        foreach(stub IN LISTS ARG_STUBS)
            list(APPEND stub_paths ${CMAKE_SOURCE_DIR}/${stub})
            file(GLOB_RECURSE stub_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${stub}/*.java)
            list(APPEND stub_sources_all ${stub_sources})
        endforeach()
        string(REPLACE ";" ":" stub_path "${stub_paths}")
        set(stub_options -sourcepath ${stub_path} -implicit:none)
    endif()
    add_custom_command(
        OUTPUT ${out}/${name}.jar
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${out}/classes
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/classes
        COMMAND ${Java_JAVAC_EXECUTABLE} --release 8 -nowarn -encoding UTF-8 ${stub_options}
            -d ${out}/classes ${java_sources}
        COMMAND ${Java_JAR_EXECUTABLE} cf ${out}/${name}.jar -C ${out}/classes .
        DEPENDS ${java_sources} ${stub_sources_all}
        COMMENT "Compiling Java fixtures ${name}"
        VERBATIM)
    add_custom_target(${target}_${name}_java DEPENDS ${out}/${name}.jar)
    add_dependencies(${target} ${target}_${name}_java)
    string(TOUPPER ${name} upper)
    string(MAKE_C_IDENTIFIER ${upper} upper)
    target_compile_definitions(${target} PRIVATE JCT_FIXTURES_${upper}="${out}")
endfunction()

# jct_test_suite(name DIR tests/x LIBS deps... [LABELS l...] [GUI]): one GoogleTest executable from
# the folder's .cpp files and the shared support code; every test case is its own CTest entry.
function(jct_test_suite name)
    cmake_parse_arguments(ARG "GUI" "DIR" "LIBS;LABELS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${ARG_DIR}/*.cpp)
    if(NOT tests)
        return()
    endif()
    if(NOT TARGET jct_test_support)
        # Shared helpers are compiled once; the main is per suite (it picks the application type).
        file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
        list(REMOVE_ITEM support ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
        add_library(jct_test_support STATIC ${support})
        target_include_directories(jct_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
        target_link_libraries(jct_test_support PUBLIC jct_base GTest::gtest Qt5::Test)
    endif()
    add_executable(${name} ${tests} ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} jct_test_support)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        JCT_SOURCE_DIR="${CMAKE_SOURCE_DIR}" JCT_BINARY_DIR="${CMAKE_BINARY_DIR}")
    if(ARG_GUI)
        target_compile_definitions(${name} PRIVATE JCT_GUI_TESTS=1)
    endif()
    if(TARGET javaconformance)
        add_dependencies(${name} javaconformance)
        target_compile_definitions(${name} PRIVATE JCT_APP_BINARY="$<TARGET_FILE:javaconformance>")
    endif()
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
