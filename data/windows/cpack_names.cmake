# Read by cpack: the Windows installer is named bezier2d-VERSION-win64-setup.exe, beside the zip.
if(CPACK_GENERATOR STREQUAL "NSIS")
  string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
endif()
