# The application icon for the freedesktop icon theme: PNGs in the hicolor sizes,
# made from the resource bitmaps when the project builds (16 and 32 as drawn,
# 48 and 64 enlarged without smoothing, so the pixel art stays sharp).
find_program(VALDINA_CONVERT NAMES convert REQUIRED)

set(VALDINA_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(VALDINA_ICON_SIZES 16 32 48 64)
set(_valdina_icons)
foreach(size IN LISTS VALDINA_ICON_SIZES)
  if(size EQUAL 16)
    set(source ${PROJECT_SOURCE_DIR}/res/valdina16.xpm)
  else()
    set(source ${PROJECT_SOURCE_DIR}/res/valdina32.xpm)
  endif()
  set(png ${VALDINA_ICON_DIR}/${size}x${size}/valdina.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VALDINA_ICON_DIR}/${size}x${size}
    COMMAND ${VALDINA_CONVERT} ${source} -filter point -resize ${size}x${size} -strip PNG32:${png}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND _valdina_icons ${png})
endforeach()
add_custom_target(valdina_icons ALL DEPENDS ${_valdina_icons})
