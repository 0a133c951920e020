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
include(CPack)
