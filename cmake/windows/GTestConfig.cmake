# The targets come from ValdinaWindowsCross.cmake, built from Debian's sources.
set(GTest_FOUND TRUE)
