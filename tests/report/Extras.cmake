# The reporting host is tested here, beside the report that talks to it.
if(TARGET jct_report_tests AND TARGET jct_receiver)
    target_link_libraries(jct_report_tests PRIVATE jct_receiver)
    add_dependencies(jct_report_tests javaconformance-receiver)
    target_compile_definitions(jct_report_tests PRIVATE
        JCT_RECEIVER_BINARY="$<TARGET_FILE:javaconformance-receiver>")
endif()
