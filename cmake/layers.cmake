# Include paths that state the layers.
#
# Headers are included by their path from the repository root ("console/link/exchange.hpp").
# There is no include path to the root itself: each library makes its own folder reachable
# under that path, for itself and for whatever links it, through a folder of its own in the
# build tree that holds a link to its sources. A header of a layer that a target does not link
# is not found, so an include across a layer that the design forbids fails to build.
#
#   vistrel_headers(<target> <folder> [PRIVATE])
#     <folder> (relative to the repository root) becomes includable as "<folder>/<file>":
#     PUBLIC for a library, PRIVATE for a program or test that only includes its own headers.
function(vistrel_headers target folder)
  set(scope PUBLIC)
  if(ARGC GREATER 2)
    set(scope ${ARGV2})
  endif()
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()
