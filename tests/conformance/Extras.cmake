# Access test fixtures: a framework and a component compiled together, the framework alone as a
# jar, and a later framework release whose changes break the component built against the first.
if(TARGET jct_conformance_tests)
    jct_java_fixtures(jct_conformance_tests DIR tests/conformance/access)
    jct_java_fixtures(jct_conformance_tests DIR tests/conformance/access/framework NAME accessframework)
    jct_java_fixtures(jct_conformance_tests DIR tests/conformance/accessalt)
endif()

# The interface test compares a reference API with a component that deviates from it on purpose.
if(TARGET jct_conformance_tests)
    jct_java_fixtures(jct_conformance_tests DIR tests/conformance/interface/reference NAME interface_reference)
    jct_java_fixtures(jct_conformance_tests DIR tests/conformance/interface/component NAME interface_component)
endif()

# The differential test builds its cases with the JDK's javac and runs them with its java.
if(TARGET jct_conformance_tests)
    target_compile_definitions(jct_conformance_tests PRIVATE
        JCT_JAVAC="${Java_JAVAC_EXECUTABLE}" JCT_JAVA="${Java_JAVA_EXECUTABLE}"
        JCT_JVM_CASE_RUNNER="${CMAKE_CURRENT_SOURCE_DIR}/conformance/jvm/CaseRunner.java")
endif()
