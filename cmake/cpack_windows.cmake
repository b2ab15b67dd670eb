# SPDX-License-Identifier: MIT
# Read by CPack for each generator: the installer gets its own name.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
