# The targets come from ValdinaWindowsCross.cmake, copied from the host headers.
set(nlohmann_json_FOUND TRUE)
