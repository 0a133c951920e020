# SPDX-License-Identifier: GPL-3.0-or-later
# The debug-symbols package's contents (the install component dbgsym): the debug information of every program
# and library the package installs, by build ID, where debuggers look for it (/usr/lib/debug/.build-id/). The
# package's own copies are stripped (CPACK_STRIP_FILES); the build's keep it.
set(debug_targets dot11b dot11b-sgsim dot11b-extcap Dot11b_c_lib Dot11b_matfile Dot11b_radio Dot11b_windows instrIO _dot11b)
if(TARGET gnuradio-dot11b)
  list(APPEND debug_targets gnuradio-dot11b dot11b_python)
endif()
foreach(target ${debug_targets})
  install(CODE "execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/install_debug_info.sh $<TARGET_FILE:${target}>
                                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/debug\" COMMAND_ERROR_IS_FATAL ANY)"
          COMPONENT dbgsym)
endforeach()
# Its documentation is the package's, which it depends on.
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/doc\")
              file(CREATE_LINK dot11b-wavegen \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/doc/dot11b-wavegen-dbgsym\"
                   SYMBOLIC)"
        COMPONENT dbgsym)
