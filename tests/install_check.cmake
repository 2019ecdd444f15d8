# SPDX-License-Identifier: MIT
# Installs the build into a fresh prefix and checks what a desktop needs:
# the program, a valid desktop entry and the icon at every size.
#   cmake -DBUILD_DIR=... [-DPREFIX=...] -P install_check.cmake
# Without PREFIX it installs below the temporary folder ($TMPDIR).
if(NOT PREFIX)
  set(PREFIX "$ENV{TMPDIR}/install-check")
  if(NOT DEFINED ENV{TMPDIR})
    set(PREFIX /tmp/install-check)
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
set(expected
  bin/tessaronedit
  share/applications/tessaronedit.desktop
  share/icons/hicolor/16x16/apps/tessaronedit.png
  share/icons/hicolor/32x32/apps/tessaronedit.png
  share/icons/hicolor/48x48/apps/tessaronedit.png
  share/icons/hicolor/256x256/apps/tessaronedit.png)
foreach(f IN LISTS expected)
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND test -x "${PREFIX}/bin/tessaronedit" RESULT_VARIABLE notexec)
if(notexec)
  message(FATAL_ERROR "bin/tessaronedit is not executable")
endif()
file(READ "${PREFIX}/share/applications/tessaronedit.desktop" entry)
foreach(line "Name=Tessaron Level - Editor" "Exec=tessaronedit" "Icon=tessaronedit")
  string(FIND "${entry}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "desktop entry lacks '${line}'")
  endif()
endforeach()
find_program(VALIDATE desktop-file-validate REQUIRED)
execute_process(COMMAND ${VALIDATE} "${PREFIX}/share/applications/tessaronedit.desktop"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${out}")
endif()
message(STATUS "installed and valid: ${PREFIX}")
