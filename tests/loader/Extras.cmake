# Real class files for the loader tests and the listcontents tests, compiled from the sources under
# tests/loader/java.
if(TARGET jct_loader_tests)
    jct_java_fixtures(jct_loader_tests DIR tests/loader/java NAME loader)
endif()
if(TARGET jct_app_tests)
    jct_java_fixtures(jct_app_tests DIR tests/loader/java NAME listcontents)
endif()
