# Real class files for the reader: Java sources beside the tests, compiled at build time.
if(TARGET jct_classfile_tests)
    jct_java_fixtures(jct_classfile_tests DIR tests/classfile/java NAME classfile)
endif()
# A probe that asks the JVM whether it loads a class file, for the tests that claim it does.
if(TARGET jct_classfile_tests)
    jct_java_fixtures(jct_classfile_tests DIR tests/classfile/jvm NAME jvmprobe)
    target_compile_definitions(jct_classfile_tests PRIVATE JCT_JAVA="${Java_JAVA_EXECUTABLE}")
endif()
# Code whose objects' types the verifier infers, kept apart from the reader's fixtures.
if(TARGET jct_classfile_tests)
    jct_java_fixtures(jct_classfile_tests DIR tests/classfile/receivers NAME receivers)
endif()
