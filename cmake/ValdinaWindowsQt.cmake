# The Qt 6 a Windows build's window uses. VALDINA_WINDOWS_QT names its
# installation folder: by default the static Qt that scripts/build-windows-qt
# puts into the cache; a Windows developer names the Qt of their kit (or leaves
# it to CMAKE_PREFIX_PATH).
include(ValdinaWindowsCache)
set(VALDINA_WINDOWS_QT ${VALDINA_WINDOWS_CACHE}/qt-6.4.2-windows-${VALDINA_WINDOWS_ARCH} CACHE PATH
    "Installation folder of the Qt 6 for this Windows architecture")

if(EXISTS ${VALDINA_WINDOWS_QT}/lib/cmake/Qt6)
  list(APPEND CMAKE_PREFIX_PATH ${VALDINA_WINDOWS_QT} ${VALDINA_WINDOWS_QT}/lib/cmake)
  if(CMAKE_CROSSCOMPILING)
    # Searched like the MinGW-w64 libraries; moc, rcc and uic are the host's
    # (Debian's qt6-base-dev-tools of the same version).
    list(APPEND CMAKE_FIND_ROOT_PATH ${VALDINA_WINDOWS_QT})
    execute_process(COMMAND gcc -print-multiarch OUTPUT_VARIABLE _valdina_multiarch
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    set(QT_HOST_PATH /usr CACHE PATH "Qt of the build machine, for its tools")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${_valdina_multiarch}/cmake CACHE PATH "")
  endif()
endif()

find_package(Qt6 QUIET COMPONENTS Widgets)
if(Qt6_FOUND)
  get_target_property(_valdina_qt_type Qt6::Core TYPE)
  if(_valdina_qt_type STREQUAL "STATIC_LIBRARY")
    set(VALDINA_STATIC_QT ON)
  endif()
endif()
