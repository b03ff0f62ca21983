# cmake -D SOURCE_DIR=<checkout> -D LAYERS="numerics;io;..." -P CheckLayers.cmake
#
# Fails when a file of a layer folder includes a project header of a later
# layer or of a folder outside the core (plot/, app/, ...), or any Qt header.
# A layer may include its own headers and those of the layers before it.
cmake_minimum_required(VERSION 3.25)

set(allowed)
set(violations)
foreach(layer IN LISTS LAYERS)
  list(APPEND allowed ${layer})
  file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp ${SOURCE_DIR}/${layer}/*.in)
  foreach(file IN LISTS files)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    foreach(line IN LISTS includes)
      if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/")
        if(NOT CMAKE_MATCH_1 IN_LIST allowed)
          list(APPEND violations "${shown} includes ${CMAKE_MATCH_1}/, which ${layer}/ may not use")
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)")
        list(APPEND violations "${shown} includes the Qt header ${CMAKE_MATCH_1}, but the core has no Qt")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  list(JOIN violations "\n  " report)
  list(JOIN LAYERS ", " order)
  message(FATAL_ERROR "Includes against the layers (${order}, each using only those before it):\n  ${report}")
endif()
