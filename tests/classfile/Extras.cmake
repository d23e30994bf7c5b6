# Real class files for the reader: Java sources beside the tests, compiled at build time.
if(TARGET jct_classfile_tests)
    jct_java_fixtures(jct_classfile_tests DIR tests/classfile/java NAME classfile)
endif()
