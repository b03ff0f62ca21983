# corvanta_core_layer(<layer> <sources>...) makes the library corvanta_<layer>
# of a folder of the core, linked to the layers before it.
#
# An include that runs against the layers (a model including the document, the
# numerics including anything else, Qt anywhere in the core) fails the build:
# every layer library waits for the check below, which reads the includes of
# every core folder whenever one of their files changes.
set(CORVANTA_LAYER_FOLDERS ${CORVANTA_CORE_LAYERS} audio)
set(CORVANTA_LAYER_GLOBS)
foreach(folder IN LISTS CORVANTA_LAYER_FOLDERS)
  list(APPEND CORVANTA_LAYER_GLOBS ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp
    ${PROJECT_SOURCE_DIR}/${folder}/*.in)
endforeach()
file(GLOB_RECURSE CORVANTA_LAYER_FILES CONFIGURE_DEPENDS ${CORVANTA_LAYER_GLOBS})
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/layers.checked
  COMMAND ${CMAKE_COMMAND} -D SOURCE_DIR=${PROJECT_SOURCE_DIR} "-D LAYERS=${CORVANTA_LAYER_FOLDERS}"
    -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${PROJECT_BINARY_DIR}/layers.checked
  DEPENDS ${CORVANTA_LAYER_FILES} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
  COMMENT "Checking that the core's includes follow its layers"
  VERBATIM)
add_custom_target(corvanta_layer_check DEPENDS ${PROJECT_BINARY_DIR}/layers.checked)

function(corvanta_core_layer layer)
  set(target corvanta_${layer})
  add_library(${target} STATIC ${ARGN})
  # Position independent: the modules of corvanta-cli carry a copy.
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  list(FIND CORVANTA_CORE_LAYERS ${layer} position)
  list(SUBLIST CORVANTA_CORE_LAYERS 0 ${position} below)
  list(TRANSFORM below PREPEND corvanta_)
  target_link_libraries(${target} PUBLIC ${below} PRIVATE corvanta_warnings)
  add_dependencies(${target} corvanta_layer_check)
endfunction()
