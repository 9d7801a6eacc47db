# Fails when a source of a layer includes a header of a layer above it.
# Run by the build: cmake -DLAYER=name -DALLOWED=regex -DSTAMP=file
#   -DSOURCES=a|b|c -P check_layer_includes.cmake
# ALLOWED matches the quoted include paths that the layer may use.
string(REPLACE "|" ";" SOURCES "${SOURCES}")
set(problems "")
foreach(source IN LISTS SOURCES)
  if(NOT source MATCHES "\\.(cpp|h)$")
    continue()
  endif()
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" header "${line}")
    if(NOT header MATCHES "${ALLOWED}")
      string(APPEND problems "\n  ${source} includes \"${header}\", which lies above the ${LAYER} layer")
    endif()
  endforeach()
endforeach()
if(problems)
  message(FATAL_ERROR "An include reaches upward:${problems}")
endif()
file(TOUCH "${STAMP}")
