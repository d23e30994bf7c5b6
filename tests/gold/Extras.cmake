# Gold building reads real class files: the fixtures are compiled at build time.
if(TARGET jct_gold_tests)
    jct_java_fixtures(jct_gold_tests DIR tests/gold/java/builder NAME goldbuilder)
    jct_java_fixtures(jct_gold_tests DIR tests/gold/java/first NAME goldfirst)
    jct_java_fixtures(jct_gold_tests DIR tests/gold/java/second NAME goldsecond)
    target_link_libraries(jct_gold_tests PRIVATE jct_sig2class jct_goldfiles)
    add_dependencies(jct_gold_tests golddump goldmark)
    target_compile_definitions(jct_gold_tests PRIVATE
        JCT_GOLDDUMP_BINARY="$<TARGET_FILE:golddump>" JCT_GOLDMARK_BINARY="$<TARGET_FILE:goldmark>")
endif()
