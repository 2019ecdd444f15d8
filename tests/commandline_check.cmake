# SPDX-License-Identifier: MIT
# The editor's command line without a display: help and version print and
# exit 0; two packs are wrong usage (exit 2).
#   cmake -DPROGRAM=... -DVERSION=... -P commandline_check.cmake
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
function(expect rc pattern)
  execute_process(COMMAND ${PROGRAM} ${ARGN} RESULT_VARIABLE got OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT got EQUAL rc OR NOT "${out}${err}" MATCHES "${pattern}")
    message(FATAL_ERROR "${ARGN}: exit ${got}, expected ${rc}; output:\n${out}${err}")
  endif()
endfunction()
expect(0 "Aufruf: .*\\[levelpack\\].*Das Levelpack, das beim Start geladen wird" --help)
expect(0 "^tessaronedit ${VERSION}\n$" --version)
set(ENV{QT_QPA_PLATFORM} offscreen)
expect(2 "Aufruf: " eins.pak zwei.pak)
message(STATUS "command line as expected")
