# The targets come from ValdinaWindowsCross.cmake, copied from the host headers.
set(CLI11_FOUND TRUE)
