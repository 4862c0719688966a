# Each Windows package is named for what it is: the installer and the portable program.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "runby-${CPACK_PACKAGE_VERSION}-win64-setup")
elseif(CPACK_GENERATOR STREQUAL "ZIP")
    set(CPACK_PACKAGE_FILE_NAME "runby-${CPACK_PACKAGE_VERSION}-win64")
endif()
