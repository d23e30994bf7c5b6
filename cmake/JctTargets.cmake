# Helpers that keep the per-layer targets uniform.

# jct_existing(out context file...): the files as absolute paths, each of which must exist. A typo
# or a deleted file stops the configuration instead of leaving the build without a word.
function(jct_existing out context)
    set(paths)
    foreach(file IN LISTS ARGN)
        get_filename_component(abs ${file} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
        if(NOT EXISTS ${abs})
            message(FATAL_ERROR "${context}: ${file} does not exist")
        endif()
        list(APPEND paths ${abs})
    endforeach()
    set(${out} ${paths} PARENT_SCOPE)
endfunction()

# jct_layer_includes(target file...): lets the target and its users include the folders of the
# files as "folder/File.h", and nothing else of the source tree: each folder gets an include root
# of its own in the build tree that holds only a link to it.
function(jct_layer_includes target)
    set(folders)
    foreach(file IN LISTS ARGN)
        file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${file})
        string(REGEX REPLACE "/.*" "" folder ${rel})
        list(APPEND folders ${folder})
    endforeach()
    list(REMOVE_DUPLICATES folders)
    foreach(folder IN LISTS folders)
        set(root ${CMAKE_BINARY_DIR}/include/${folder})
        if(NOT EXISTS ${root}/${folder})
            file(MAKE_DIRECTORY ${root})
            file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
        endif()
        target_include_directories(${target} PUBLIC ${root})
    endforeach()
endfunction()

# jct_library(name GLOB dir [PROTOS f.proto...] LIBS deps...)
# A layer is a static library of every .cpp, .ui and .qrc of its folder; a main.cpp there is the
# program built on the layer, not part of it. The generated message classes of its protos are included by
# their bare names ("JavaTypes.pb.h").
function(jct_library name)
    cmake_parse_arguments(ARG "" "GLOB" "PROTOS;LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${ARG_GLOB}/*.cpp ${CMAKE_SOURCE_DIR}/${ARG_GLOB}/*.ui
        ${CMAKE_SOURCE_DIR}/${ARG_GLOB}/*.qrc)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${ARG_GLOB}/main.cpp)
    if(NOT sources)
        message(FATAL_ERROR "jct_library(${name}): no sources in ${ARG_GLOB}/")
    endif()
    jct_existing(protos "jct_library(${name}) PROTOS" ${ARG_PROTOS})
    set(generated)
    if(protos)
        set(proto_dir ${CMAKE_BINARY_DIR}/include/${name}-protos)
        file(MAKE_DIRECTORY ${proto_dir})
        protobuf_generate(APPEND_PATH LANGUAGE cpp OUT_VAR generated PROTOS ${protos} PROTOC_OUT_DIR ${proto_dir})
        # Generated code is not ours to keep warning-free.
        set_source_files_properties(${generated} PROPERTIES COMPILE_OPTIONS "-w")
    endif()
    add_library(${name} STATIC ${sources} ${generated})
    jct_layer_includes(${name} ${sources})
    if(protos)
        target_include_directories(${name} PUBLIC ${proto_dir})
    endif()
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# jct_java_fixtures(target DIR dir [NAME name] [RELEASE n] [STUBS dir...] [ALSO_FOR target...]):
# compiles every .java below dir with javac --release 8 (or n) into <build>/fixtures/<name>/classes
# and packs them into <build>/fixtures/<name>/<name>.jar. Classes the sources use from the STUBS
# folders are compiled against but left out, as a component built against APIs it is not shipped
# with. The test target, and those named after ALSO_FOR, see the folder as the macro
# JCT_FIXTURES_<NAME>; the jar is made once, whichever of them is built first.
function(jct_java_fixtures target)
    cmake_parse_arguments(ARG "" "DIR;NAME;RELEASE" "STUBS;ALSO_FOR" ${ARGN})
    set(name ${ARG_NAME})
    set(release 8)
    if(ARG_RELEASE)
        set(release ${ARG_RELEASE})
    endif()
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
        COMMAND ${Java_JAVAC_EXECUTABLE} --release ${release} -nowarn -encoding UTF-8 ${stub_options}
            -d ${out}/classes ${java_sources}
        COMMAND ${Java_JAR_EXECUTABLE} cf ${out}/${name}.jar -C ${out}/classes .
        DEPENDS ${java_sources} ${stub_sources_all}
        COMMENT "Compiling Java fixtures ${name}"
        VERBATIM)
    add_custom_target(${target}_${name}_java DEPENDS ${out}/${name}.jar)
    string(TOUPPER ${name} upper)
    string(MAKE_C_IDENTIFIER ${upper} upper)
    foreach(user IN ITEMS ${target} ${ARG_ALSO_FOR})
        add_dependencies(${user} ${target}_${name}_java)
        target_compile_definitions(${user} PRIVATE JCT_FIXTURES_${upper}="${out}")
    endforeach()
endfunction()

# jct_test_suite(name DIR tests/x LIBS deps... [LABELS l...] [GUI] [RUNS_PROGRAM]): one GoogleTest
# executable from the folder's .cpp files and the shared support code; every test case is its own
# CTest entry. A suite that runs the program (RUNS_PROGRAM) is built after it and sees its path as
# JCT_APP_BINARY, where there is a program (not in the core-only build); no other suite waits for it.
function(jct_test_suite name)
    cmake_parse_arguments(ARG "GUI;RUNS_PROGRAM" "DIR" "LIBS;LABELS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${ARG_DIR}/*.cpp)
    if(NOT tests)
        message(FATAL_ERROR "jct_test_suite(${name}): no tests in ${ARG_DIR}/")
    endif()
    if(NOT TARGET jct_test_support)
        # Shared helpers are compiled once; the main is per suite (it picks the application type).
        file(GLOB support CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
        list(REMOVE_ITEM support ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
        add_library(jct_test_support STATIC ${support})
        target_include_directories(jct_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
        target_link_libraries(jct_test_support PUBLIC jct_base GTest::gtest Qt5::Test ZLIB::ZLIB)
        target_compile_definitions(jct_test_support PRIVATE JCT_DATA_DIR="${JCT_DATA_DIR}"
            JCT_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
    endif()
    add_executable(${name} ${tests} ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} jct_test_support)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    if(ARG_GUI)
        target_compile_definitions(${name} PRIVATE JCT_GUI_TESTS=1)
    endif()
    if(ARG_RUNS_PROGRAM AND TARGET javaconformance)
        add_dependencies(${name} javaconformance)
        target_compile_definitions(${name} PRIVATE JCT_APP_BINARY="$<TARGET_FILE:javaconformance>")
    endif()
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
