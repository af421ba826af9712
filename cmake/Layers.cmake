# One static library per folder of src/, linked only in the allowed
# direction:
#
#   base <- framework <- chart <- window <- watchlist
#   window, historydata <- history
#   base <- quote <- chart;  base, quote <- marketdata, historydata
#   framework, marketdata <- markets
#   app on top of all (res/ holds resource ids every layer from framework
#   up may use)
#
# base/, quote/, marketdata/ and historydata/ link QtCore and no widgets, so the programs
# without a user interface (quorelle-quote, the simulator) link only them.
#
# Includes are written relative to src/ ("quote/QuoteRecord.h"), but a
# folder's library does not see src/ itself: it sees a folder of its own in
# the build tree that holds links to the folders it may include and no
# others. An include against the direction names a file that is not there,
# and the build fails. scripts/check-layers says the same without a build.

set(QUORELLE_LAYER_ROOT ${CMAKE_CURRENT_BINARY_DIR}/layers)

# quorelle_add_layer(NAME SOURCES... SEES folder... LINKS target...)
function(quorelle_add_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;SEES;LINKS" ${ARGN})
  set(view ${QUORELLE_LAYER_ROOT}/${name})
  file(MAKE_DIRECTORY ${view})
  foreach(folder ${name} ${L_SEES})
    if(NOT EXISTS ${view}/${folder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
  add_library(quorelle_${name} STATIC ${L_SOURCES})
  target_include_directories(quorelle_${name} PUBLIC ${view})
  target_link_libraries(quorelle_${name} PUBLIC ${L_LINKS})
  target_compile_options(quorelle_${name} PRIVATE ${QUORELLE_WARNINGS})
endfunction()
