# A framework jar for the window's runs on the samples.
if(TARGET jct_app_tests)
    jct_java_fixtures(jct_app_tests DIR tests/app/java NAME framework)
endif()

# A component with deliberate findings: one class many classes use, a framework left out, and
# calls compiled against a newer framework release than the one it is tested with.
if(TARGET jct_app_tests)
    jct_java_fixtures(jct_app_tests DIR tests/app/findings/component NAME findings
        STUBS tests/app/findings/stubs tests/app/findings/newapi ALSO_FOR jct_window_tests)
    jct_java_fixtures(jct_app_tests DIR tests/app/findings/api NAME findingsapi
        ALSO_FOR jct_window_tests)
endif()

# For the cases of tests/data/app/jvm-reading.txt: two builds of the class p.Main, one a
# conforming component may hold and one that must not pass unseen, and a program that asks the JVM
# which of them it runs.
if(TARGET jct_app_tests)
    jct_java_fixtures(jct_app_tests DIR tests/app/jvm/benign NAME jvmbenign)
    jct_java_fixtures(jct_app_tests DIR tests/app/jvm/evil NAME jvmevil)
    jct_java_fixtures(jct_app_tests DIR tests/app/jvm/runner NAME jvmrunner)
    # Code that needs inspection however it is called, and a class built for later releases.
    jct_java_fixtures(jct_app_tests DIR tests/app/jvm/natives NAME jvmnatives)
    jct_java_fixtures(jct_app_tests DIR tests/app/jvm/definer NAME jvmdefiner)
    jct_java_fixtures(jct_app_tests DIR tests/app/jvm/modern NAME jvmjava11 RELEASE 11)
    jct_java_fixtures(jct_app_tests DIR tests/app/jvm/modern NAME jvmjava17 RELEASE 17)
    target_compile_definitions(jct_app_tests PRIVATE JCT_JAVA="${Java_JAVA_EXECUTABLE}")
endif()

# results.xml of a real run, loaded by a maintained JUnit XML reader as CI servers load it. Debian's
# junitparser is installed for Debian's own Python, which a python3 earlier on the PATH may not be.
if(TARGET javaconformance)
    find_program(JCT_SYSTEM_PYTHON3 python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
    add_test(NAME JUnitXml.ARealRunLoadsInJunitparserWithTheCountsOfItsResults
        COMMAND ${JCT_SYSTEM_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/app/JUnitXmlTest.py
            $<TARGET_FILE:javaconformance> ${JCT_DATA_DIR}/data ${JCT_DATA_DIR}/samples)
    set_tests_properties(JUnitXml.ARealRunLoadsInJunitparserWithTheCountsOfItsResults
        PROPERTIES LABELS app)
endif()

# results.html of real runs, loaded in headless Chromium and read back from the DOM its scripts
# leave: the findings component, and an OSS run with thousands of results.
find_program(JCT_CHROMIUM NAMES chromium chromium-browser)
if(TARGET javaconformance AND JCT_CHROMIUM)
    add_test(NAME ResultsPage.ARealRunReadsInABrowserWithItsFindingsAndLines
        COMMAND ${JCT_SYSTEM_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/app/ReportPageTest.py
            $<TARGET_FILE:javaconformance> ${JCT_DATA_DIR}/data ${JCT_DATA_DIR}/samples
            ${CMAKE_BINARY_DIR}/fixtures/findings/findings.jar)
    set_tests_properties(ResultsPage.ARealRunReadsInABrowserWithItsFindingsAndLines
        PROPERTIES LABELS app TIMEOUT 600)
endif()

# A console run loads no GUI library: loading and relocating Qt Widgets, Qt Gui and what they pull
# in would cost every run as much as a small jar's test. ldd lists what the program loads, not
# only what it names itself.
if(TARGET javaconformance)
    add_test(NAME Program.TheConsoleProgramLoadsNoGuiLibrary
        COMMAND sh -ec [[
            libs=$(ldd "$0")
            echo "$libs" | grep -q libQt5Core
            ! echo "$libs" | grep -E 'libQt5(Gui|Widgets)|libGL|libX11|libxcb|libfreetype|libharfbuzz'
        ]] $<TARGET_FILE:javaconformance>)
    set_tests_properties(Program.TheConsoleProgramLoadsNoGuiLibrary PROPERTIES LABELS app)
endif()

# The build installed into a temporary root and run from elsewhere, the README's CI job included.
if(TARGET javaconformance)
    add_test(NAME Install.AnInstallationFindsItsDataFromAnyDirectoryAndRunsTheReadmeCiJob
        COMMAND ${JCT_SYSTEM_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/app/InstallTest.py
            ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${JCT_DATA_DIR}/samples ${CMAKE_SOURCE_DIR})
    set_tests_properties(Install.AnInstallationFindsItsDataFromAnyDirectoryAndRunsTheReadmeCiJob
        PROPERTIES LABELS app)
endif()
