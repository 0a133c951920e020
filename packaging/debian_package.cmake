# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages (cpack -G DEB): dot11b-wavegen with stripped binaries (the install component
# Unspecified, everything not named otherwise) and dot11b-wavegen-dbgsym with their debug symbols
# (debug_symbols.cmake).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dot11b-wavegen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The first Debian revision of the upstream version: the package is not native, so its changelog is
# changelog.Debian.gz.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified dbgsym)
# The maintainer is named when the packages are made (package_maintainer.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_maintainer.cmake)

set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME dot11b-wavegen)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_SECTION electronics)
# The synopsis, then lines of at most 80 characters, as Debian's tools show them.
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION [[IEEE 802.11b DSSS waveform generator for vector signal generators
Computes bit-exact IEEE 802.11b-1999 DSSS frames (DBPSK, DQPSK, CCK, PBCC) as
complex baseband I/Q, downloads them to a vector RF signal generator over GPIB,
RS-232 or TCP/IP, plots them, verifies them with a built-in receiver and makes
receiver-test signals (sequences, MAC frame templates, impairments). With a
Python module that gives them as numpy arrays.]])
# The shared libraries' packages come from dpkg-shlibdeps; the Python package needs these besides.
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_DEPENDS "python3 (>= 3.11), python3 (<< 3.12), python3-numpy")
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_RECOMMENDS "python3-scipy")
# dot11b-extcap, in Wireshark's extcap folder, shows the frames a radio receives in Wireshark.
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_SUGGESTS "wireshark | tshark")
# The library's link in the multiarch folder needs the dynamic linker's cache renewed: dpkg's trigger does
# it once for all packages installed together.
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)

set(CPACK_DEBIAN_DBGSYM_PACKAGE_NAME dot11b-wavegen-dbgsym)
set(CPACK_DEBIAN_DBGSYM_PACKAGE_SECTION debug)
set(CPACK_DEBIAN_DBGSYM_DESCRIPTION "debug symbols for dot11b-wavegen")
set(CPACK_DEBIAN_DBGSYM_PACKAGE_DEPENDS "dot11b-wavegen (= ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})")
# The GNU Radio module (gnuradio/, the install component gnuradio) in a package of its own, gr-dot11b, so that
# dot11b-wavegen does not pull GNU Radio in. It takes the MAT-file module for parameter files from
# dot11b-wavegen's library folder, and keeps its own library there.
if(TARGET gnuradio-dot11b)
  list(APPEND CPACK_COMPONENTS_ALL gnuradio)
  set(CPACK_DEBIAN_GNURADIO_PACKAGE_NAME gr-dot11b)
  set(CPACK_DEBIAN_GNURADIO_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_GNURADIO_DESCRIPTION [[IEEE 802.11b DSSS blocks for GNU Radio
The generator and the receiver of dot11b-wavegen as GNU Radio blocks, with
their blocks for GNU Radio Companion and example flowgraphs: a modulator of
PDUs into bursts, a frame source, the streaming receiver with PDUs out, and a
connector that writes the frames as pcapng for Wireshark.]])
  set(CPACK_DEBIAN_GNURADIO_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_GNURADIO_PACKAGE_DEPENDS "dot11b-wavegen (= ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}), \
gnuradio (>= 3.10), gnuradio (<< 3.11), python3 (>= 3.11), python3 (<< 3.12)")
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gr-dot11b COMPONENT gnuradio)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/gr-dot11b.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME gr-dot11b COMPONENT gnuradio)
endif()
include(CPack)
