# Gives a library an include root of its own: a folder in the build tree where each of its source folders appears
# under the name the code includes it by. A library and whatever links it then find the headers of that library and
# of the libraries it links, and no others: a header of a layer above fails to compile.
#
#   zv_include_root(<target> <path prefix> <include name> <source folder> [<include name> <source folder>]...)
#
# The path prefix is how exception texts name the folder of a header reached through the root ("ZVFramework/" for
# the framework's libraries, "" for those at the project's top).
function(zv_include_root target prefix)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  math(EXPR last "${count} - 1")
  foreach(index RANGE 0 ${last} 2)
    math(EXPR folder_index "${index} + 1")
    list(GET pairs ${index} name)
    list(GET pairs ${folder_index} folder)
    get_filename_component(parent ${root}/${name} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT IS_SYMLINK ${root}/${name})
      file(CREATE_LINK ${folder} ${root}/${name} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  target_compile_options(${target} PUBLIC -fmacro-prefix-map=${root}/=${prefix})
endfunction()
