# One version for every program: the project version, as a generated header that
# valdina_version hands to whoever links it.
configure_file(${CMAKE_CURRENT_LIST_DIR}/ValdinaVersion.h.in
  ${CMAKE_BINARY_DIR}/generated/ValdinaVersion.h @ONLY)
add_library(valdina_version INTERFACE)
target_include_directories(valdina_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
