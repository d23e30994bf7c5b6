# A framework jar for the window's runs on the samples.
if(TARGET jct_app_tests)
    jct_java_fixtures(jct_app_tests DIR tests/app/java NAME framework)
endif()
