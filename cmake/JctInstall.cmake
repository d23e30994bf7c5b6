# What an installation holds, and the Debian package made of it (cpack in the build folder):
#   bin/                          javaconformance; javaconformance-window, the window's program,
#                                 which javaconformance starts from beside itself for GUI mode;
#                                 javaconformance-receiver
#   share/javaconformance/data/   the seven reference gold files, where the tester looks for them
#                                 from bin/ (base/DataDirectory)
#   share/man/man1/               the manual pages
#   share/doc/javaconformance/    the README and docs/
# The gold files are made by scripts/build-data from the built programs, not by the build itself:
# an installation without them would test nothing, so installing stops instead.

set(JCT_REFERENCE_DATA j2se8 j2ee8 DRAV_common FormerlyCORBA IOS TSS_type_independent
    TSS_type_abstraction)
set(JCT_INSTALLED_DATA)
foreach(name IN LISTS JCT_REFERENCE_DATA)
    list(APPEND JCT_INSTALLED_DATA ${JCT_DATA_DIR}/data/${name}.javagold)
endforeach()

install(TARGETS javaconformance javaconformance-window javaconformance-receiver
    RUNTIME DESTINATION bin)

install(CODE "
    foreach(file IN ITEMS ${JCT_INSTALLED_DATA})
        if(NOT EXISTS \${file})
            message(FATAL_ERROR \"\${file} is missing: run scripts/build-data ${CMAKE_BINARY_DIR} \"
                \"before installing (scripts/setup does)\")
        endif()
    endforeach()")
install(FILES ${JCT_INSTALLED_DATA} DESTINATION share/javaconformance/data)

# Debian wants manual pages compressed, and the same bytes from every build.
foreach(page javaconformance.1 javaconformance-receiver.1)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/docs/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
        DEPENDS ${CMAKE_SOURCE_DIR}/docs/${page}
        VERBATIM)
    list(APPEND JCT_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${JCT_MAN_PAGES})
install(FILES ${JCT_MAN_PAGES} DESTINATION share/man/man1)

install(FILES README.md DESTINATION share/doc/javaconformance)
install(DIRECTORY docs/ DESTINATION share/doc/javaconformance/docs
    FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME javaconformance)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "DRAV Java Conformance Tester: checks Java components against a segment's APIs")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads every class file of a Java component without running it and checks that the component\n\
provides a reference API exactly and uses only the APIs its architectural segment may use,\n\
under Java's access rules. Writes its verdict as text, JUnit XML and an HTML page.")
set(CPACK_PACKAGE_CONTACT "DRAV Java Conformance Tester maintainers <javaconformance@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The libraries the programs link, with the versions Debian's symbol files ask for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
