# The Windows program's installer: an .msi built by wixl (msitools) from
# data/windows/barcodes.wxs, beside the program in the build folder:
# build/windows/barcodes-VERSION-x64.msi.
find_program(WIXL_EXECUTABLE wixl REQUIRED)
# wixl takes the files' paths relative to the folder it runs in.
set(BARCODES_EXE $<PATH:RELATIVE_PATH,$<TARGET_FILE:barcodes>,${PROJECT_BINARY_DIR}>)
file(RELATIVE_PATH BARCODES_ICON ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR}/data/barcodes.ico)
file(RELATIVE_PATH BARCODES_LICENSE ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR}/LICENSE)
set(BARCODES_MSI ${PROJECT_BINARY_DIR}/barcodes-${PROJECT_VERSION}-x64.msi)
configure_file(data/windows/barcodes.wxs ${PROJECT_BINARY_DIR}/barcodes.wxs.in @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/barcodes.wxs INPUT ${PROJECT_BINARY_DIR}/barcodes.wxs.in)
add_custom_command(OUTPUT ${BARCODES_MSI} WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
                   COMMAND ${WIXL_EXECUTABLE} -a x64 -o ${BARCODES_MSI} ${PROJECT_BINARY_DIR}/barcodes.wxs
                   DEPENDS barcodes ${PROJECT_BINARY_DIR}/barcodes.wxs ${PROJECT_SOURCE_DIR}/data/barcodes.ico
                           ${PROJECT_SOURCE_DIR}/LICENSE
                   COMMENT "Building the installer ${BARCODES_MSI}" VERBATIM)
add_custom_target(msi ALL DEPENDS ${BARCODES_MSI})
