# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) on the staged files: CPACK_STRIP_FILES
# leaves the compilers' .comment and .note sections, which Debian's strip removes.
file(GLOB_RECURSE _files LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(_file IN LISTS _files)
  if(IS_SYMLINK "${_file}")
    continue()
  endif()
  file(READ "${_file}" _magic LIMIT 4 HEX)
  if(_magic STREQUAL "7f454c46")
    execute_process(COMMAND ${CPACK_VALDINA_STRIP} --remove-section=.comment --remove-section=.note "${_file}"
                    RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
      message(FATAL_ERROR "strip ${_file} failed")
    endif()
  endif()
endforeach()
