# The release files, built beside the programs: README.TXT made from the
# user's pages in docs/, the installer (NSIS) and the portable zip. `make dist`
# collects them. The version comes from the version resource alone.
include(${CMAKE_CURRENT_LIST_DIR}/tarnwick_version.cmake)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(MAKENSIS makensis REQUIRED)

# What a Windows user needs, in the order README.TXT gives it; the developer's
# pages stay out.
set(USER_PAGES installing user-guide drivers companion)
list(TRANSFORM USER_PAGES PREPEND ${CMAKE_SOURCE_DIR}/docs/)
list(TRANSFORM USER_PAGES APPEND .md)
set(README_TXT ${CMAKE_BINARY_DIR}/README.TXT)
add_custom_command(OUTPUT ${README_TXT}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/readme_txt.py build
    ${README_TXT} ${USER_PAGES}
  DEPENDS ${USER_PAGES} ${CMAKE_SOURCE_DIR}/scripts/readme_txt.py
  COMMENT "README.TXT from the user's pages in docs/")

set(SETUP_EXE ${CMAKE_BINARY_DIR}/tarnwick-${TARNWICK_VERSION}-setup.exe)
file(GLOB INSTALLER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/installer/*)
set(INSTALLER_INPUTS tarnwick tarnwick-cli ${README_TXT} ${INSTALLER_SOURCES}
  ${CMAKE_SOURCE_DIR}/res/tarnwick.ico)
set(MAKENSIS_COMMAND ${MAKENSIS} -V2 -DVERSION=${TARNWICK_VERSION} -DPROGRAM_DIR=${CMAKE_BINARY_DIR})
add_custom_command(OUTPUT ${SETUP_EXE}
  COMMAND ${MAKENSIS_COMMAND} -DOUT_FILE=${SETUP_EXE} ${CMAKE_SOURCE_DIR}/installer/tarnwick.nsi
  DEPENDS ${INSTALLER_INPUTS}
  COMMENT "The installer, tarnwick-${TARNWICK_VERSION}-setup.exe")

# The uninstaller the installer writes, for the import check. A second
# build of the same script keeps it: keeping it in the shipped build would
# store it there whole, 48 KB more.
set(UNINSTALLER_COPY ${CMAKE_BINARY_DIR}/installer-uninstall.exe)
add_custom_command(OUTPUT ${UNINSTALLER_COPY}
  COMMAND ${MAKENSIS_COMMAND} -DOUT_FILE=${CMAKE_BINARY_DIR}/uninstaller-build.exe
    -DUNINSTALLER_COPY=${UNINSTALLER_COPY} ${CMAKE_SOURCE_DIR}/installer/tarnwick.nsi
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_BINARY_DIR}/uninstaller-build.exe
  DEPENDS ${INSTALLER_INPUTS}
  COMMENT "The uninstaller, for the import check")

set(PORTABLE_ZIP ${CMAKE_BINARY_DIR}/tarnwick-${TARNWICK_VERSION}.zip)
add_custom_command(OUTPUT ${PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${PORTABLE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${PORTABLE_ZIP} --format=zip
    tarnwick.exe tarnwick-cli.exe README.TXT
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS tarnwick tarnwick-cli ${README_TXT}
  COMMENT "The portable zip, tarnwick-${TARNWICK_VERSION}.zip")

add_custom_target(release ALL DEPENDS ${SETUP_EXE} ${PORTABLE_ZIP} ${UNINSTALLER_COPY})
