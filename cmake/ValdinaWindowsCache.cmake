# Where scripts/build-windows-qt and scripts/build-windows-sqlite keep what they
# build for Windows, chosen as those scripts choose it: VALDINA_CACHE, else
# $XDG_CACHE_HOME/valdina, else ~/.cache/valdina. VALDINA_WINDOWS_ARCH is the
# architecture these folders are named after (x86 or x64).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VALDINA_WINDOWS_ARCH x86)
else()
  set(VALDINA_WINDOWS_ARCH x64)
endif()
if(DEFINED ENV{VALDINA_CACHE})
  set(VALDINA_WINDOWS_CACHE $ENV{VALDINA_CACHE})
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(VALDINA_WINDOWS_CACHE $ENV{XDG_CACHE_HOME}/valdina)
else()
  set(VALDINA_WINDOWS_CACHE $ENV{HOME}/.cache/valdina)
endif()
