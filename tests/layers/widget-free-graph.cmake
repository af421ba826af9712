# The programs without a user interface and the libraries under them reach
# no widget, GUI or print target: configures the source tree afresh with
# --graphviz and follows every link from them.
# Usage: cmake -DSOURCE_DIR=<tree> -DWORK_DIR=<scratch> [-DGENERATOR=<gen>] -P widget-free-graph.cmake
cmake_minimum_required(VERSION 3.25)

set(roots quorelle_base quorelle_quote quorelle_marketdata quorelle_historydata quorelle_quote_command
    quorelle-quote quotesim_lib quotesim)
set(forbidden Qt6::Widgets Qt6::Gui Qt6::PrintSupport)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(generator_args)
if(GENERATOR)
  set(generator_args -G ${GENERATOR})
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build ${generator_args}
          -DQUORELLE_BUILD_TESTS=OFF -DQUORELLE_BUILD_BENCH=OFF --graphviz=${WORK_DIR}/graph.dot
  RESULT_VARIABLE configured OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "configuring ${SOURCE_DIR} failed:\n${errors}")
endif()

# Nodes: "nodeN" [ label = "name", ... ]; edges: "nodeA" -> "nodeB" ...
file(STRINGS ${WORK_DIR}/graph.dot lines)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*\"(node[0-9]+)\" \\[ label = \"([^\"]+)\"")
    set(name_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    set("node_of_${CMAKE_MATCH_2}" ${CMAKE_MATCH_1})
  elseif(line MATCHES "^[ \t]*\"(node[0-9]+)\" -> \"(node[0-9]+)\"")
    list(APPEND out_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endif()
endforeach()

set(failures "")
foreach(root IN LISTS roots)
  if(NOT DEFINED "node_of_${root}")
    string(APPEND failures "${root} is not in the graph\n")
    continue()
  endif()
  # Breadth first, remembering through which target each node was reached.
  set(queue ${node_of_${root}})
  set(seen ${node_of_${root}})
  set(via_${node_of_${root}} "${root}")
  while(queue)
    list(POP_FRONT queue node)
    if(name_${node} IN_LIST forbidden)
      string(APPEND failures "${root} reaches ${name_${node}}: ${via_${node}}\n")
      continue()
    endif()
    foreach(next IN LISTS out_${node})
      if(NOT next IN_LIST seen)
        list(APPEND seen ${next})
        list(APPEND queue ${next})
        set(via_${next} "${via_${node}} -> ${name_${next}}")
      endif()
    endforeach()
  endwhile()
endforeach()

if(failures)
  message(FATAL_ERROR "targets without a user interface reach one:\n${failures}")
endif()
message(STATUS "no widget, GUI or print target below: ${roots}")
