# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack as it makes the package: whoever builds it names the maintainer as Debian's own tools take
# it (dch, dh_make), from DEBFULLNAME and DEBEMAIL. Without them, the project's developers.
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "dot11b-wavegen developers <dot11b-wavegen@dot11b-wavegen.invalid>")
endif()
