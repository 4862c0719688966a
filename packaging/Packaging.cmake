# What the packages carry beside the program: a .deb on Linux, built by CPack; on Windows the files
# that dev.sh makes the installer, the MSI and the portable zip of (packaging/runby.nsi and
# packaging/runby.wxs). One version, from project(), goes into all of them.

# The date of this version's release: the metainfo, the manual page and the changelog carry it.
set(RUNBY_RELEASE_DATE 2026-12-08)
set(RUNBY_RELEASE_DATE_RFC2822 "Tue, 08 Dec 2026 12:00:00 +0000")

set(CPACK_PACKAGE_NAME runby)
set(CPACK_PACKAGE_VENDOR Tarnvale)
set(CPACK_PACKAGE_CONTACT "Tarnvale <support@tarnvale.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Minimum car runby calculator for hydraulic elevators")
set(CPACK_PACKAGE_HOMEPAGE_URL https://www.tarnvale.example/)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/README-windows.txt
        ${PROJECT_BINARY_DIR}/packaging/README.txt @ONLY)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/README.txt DESTINATION .)
else()
    configure_file(${CMAKE_CURRENT_LIST_DIR}/runby.metainfo.xml.in
        ${PROJECT_BINARY_DIR}/packaging/runby.metainfo.xml.in @ONLY)
    runby_translated_file(xml ${PROJECT_BINARY_DIR}/packaging/runby.metainfo.xml.in
        ${PROJECT_BINARY_DIR}/packaging/example.tarnvale.runby.metainfo.xml)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/example.tarnvale.runby.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # The manual page in each language, English's paragraphs translated by po4a with the
    # language's catalogue, which must hold every one of them.
    find_program(PO4A_TRANSLATE po4a-translate REQUIRED)
    set(manuals runby.1)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/runby.1.in ${PROJECT_BINARY_DIR}/packaging/runby.1 @ONLY)
    foreach(language IN LISTS RUNBY_LANGUAGES)
        if(language STREQUAL en)
            continue()
        endif()
        set(catalogue ${PROJECT_SOURCE_DIR}/catalogue/${language}.po)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${catalogue})
        set(localized ${PROJECT_BINARY_DIR}/packaging/runby.${language}.1.in)
        file(REMOVE ${localized})
        execute_process(COMMAND ${PO4A_TRANSLATE} --format man --master-charset UTF-8
                --localized-charset UTF-8 --keep 100 --master ${CMAKE_CURRENT_LIST_DIR}/runby.1.in
                --po ${catalogue} --localized ${localized}
            RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE said)
        # po4a 0.69 reads the program's entries, keyed by msgctxt, as errors it can pass over. A
        # page short of a translation is discarded with success.
        if(failed OR NOT EXISTS ${localized})
            message(FATAL_ERROR "po4a-translate: ${said}")
        endif()
        configure_file(${localized} ${PROJECT_BINARY_DIR}/packaging/${language}/runby.1 @ONLY)
        list(APPEND manuals ${language}/runby.1)
    endforeach()
    # The manual pages and the changelog, compressed without a time stamp.
    configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog
        @ONLY)
    foreach(file ${manuals} changelog)
        add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${file}.gz
            COMMAND gzip -9 -n -f -k ${file}
            DEPENDS ${PROJECT_BINARY_DIR}/packaging/${file}
            WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
    endforeach()
    list(TRANSFORM manuals APPEND .gz OUTPUT_VARIABLE compressed)
    list(TRANSFORM compressed PREPEND ${PROJECT_BINARY_DIR}/packaging/)
    add_custom_target(packaging_documents ALL DEPENDS ${compressed}
        ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        ${PROJECT_BINARY_DIR}/packaging/example.tarnvale.runby.metainfo.xml)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/runby.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    foreach(manual IN LISTS manuals)
        if(manual MATCHES "^(.+)/runby.1$")
            install(FILES ${PROJECT_BINARY_DIR}/packaging/${manual}.gz
                DESTINATION ${CMAKE_INSTALL_MANDIR}/${CMAKE_MATCH_1}/man1)
        endif()
    endforeach()
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # The window draws its captions in Liberation Sans.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
    set(CPACK_DEBIAN_PACKAGE_SECTION science)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The extended description below the summary line.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Runby is a calculator for people who design or inspect hydraulic
elevators. Type the speed of the car, in feet per minute or in metres
per second, and it shows the minimum bottom and top car runby that code
rule 300.8b requires, in inches and in millimetres, and converts the
speed into the other system of units. The Help menu shows the text of
the rule.")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
