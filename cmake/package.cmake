# The Debian package "torvak" (`make package`, or `cpack -G DEB` in a build folder).
#
# The package installs under the prefix the build was configured with, because the desktop
# program has the data folder of that prefix compiled in (where it looks for dlginip.tvk);
# `make package` configures with -DCMAKE_INSTALL_PREFIX=/usr.
#
# No maintainer scripts: the triggers of shared-mime-info and desktop-file-utils rebuild the
# MIME and desktop databases when files appear in /usr/share/mime/packages and
# /usr/share/applications, and those of hicolor-icon-theme refresh the icon cache.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME torvak)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Torvak developers")
set(CPACK_PACKAGE_CONTACT "Torvak developers")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "linking of two IRT calibrations onto one scale")
# Lines of at most 80 characters, as dpkg and apt show them unwrapped.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Torvak links two item response theory calibrations onto one scale: from the\n"
  "parameter estimates of common items it finds the linear transformation of the\n"
  "ability space that carries one calibration's scale onto the other's, by least\n"
  "squares on the item slopes and intercepts or by the test characteristic-surface\n"
  "and item response-surface methods for the compensatory multidimensional\n"
  "three-parameter logistic model in 1 to 25 dimensions, and reports it with a\n"
  "criterion of fit. It comes as a desktop program (torvak) that composes and runs\n"
  "linking parameter files, and a command-line runner (torvak-link); example runs\n"
  "are in ${CMAKE_INSTALL_FULL_DOCDIR}/examples.")

# One package from every install component except the choice-list copy beside the programs:
# only programs belong in /usr/bin, and the copy in share/torvak is found there.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
get_cmake_property(CPACK_COMPONENTS_ALL COMPONENTS)
list(REMOVE_ITEM CPACK_COMPONENTS_ALL beside_programs)

set(CPACK_DEBIAN_PACKAGE_NAME torvak)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # torvak_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Torvak developers")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# dpkg-shlibdeps (package dpkg-dev) turns the libraries the programs link (Qt 6, libstdc++)
# into the Depends line.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
