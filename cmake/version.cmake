# The version of the programs and their packages, written here only: the
# project takes it (CMakeLists.txt, tests/fuzz), the build fills it into
# util/version.h, the manual pages and the packages; packaging/changelog's
# newest entry must name it.
set(ORLAX_VERSION 1.2.0)
