# zv_embed_resources(<target> MANIFESTS <manifest>...)
#
# Embeds the files that the manifests list into <target>, a program, where ZV::Platform::FindEmbeddedResource finds
# them by name and type. A manifest line reads "NAME TYPE FILE": NAME and TYPE of upper-case letters, digits and '_'
# (the form that a "::" source turns into), FILE relative to the manifest's folder. Lines starting with '#' are
# comments. A FILE ending in ".in" is filled in with the build's values first (@PROJECT_VERSION@ and the like).
# The bytes are read at build time, so a changed file is embedded again by the next build.

set(ZV_RESOURCE_GENERATOR "${CMAKE_CURRENT_LIST_DIR}/GenerateResourceSource.cmake")

function(zv_embed_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "MANIFESTS")
  set(work "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
  set(keys "")
  set(files "")
  set(listing "set(ZV_RESOURCES\n")
  foreach(manifest IN LISTS arg_MANIFESTS)
    get_filename_component(manifest "${manifest}" ABSOLUTE)
    get_filename_component(folder "${manifest}" DIRECTORY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${manifest}")
    file(STRINGS "${manifest}" lines)
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      if(line STREQUAL "" OR line MATCHES "^#")
        continue()
      endif()
      if(NOT line MATCHES "^([A-Z0-9_]+)[ \t]+([A-Z0-9_]+)[ \t]+(.+)$")
        message(FATAL_ERROR "${manifest}: \"${line}\" is not NAME TYPE FILE, with NAME and TYPE of A-Z, 0-9 and _")
      endif()
      set(name "${CMAKE_MATCH_1}")
      set(type "${CMAKE_MATCH_2}")
      set(file "${folder}/${CMAKE_MATCH_3}")
      if("${name}:${type}" IN_LIST keys)
        message(FATAL_ERROR "${manifest}: resource ${name} of type ${type} is listed twice")
      endif()
      list(APPEND keys "${name}:${type}")
      if(NOT EXISTS "${file}")
        message(FATAL_ERROR "${manifest}: resource ${name} names the missing file ${file}")
      endif()
      if(file MATCHES "\\.in$")
        set(filled "${work}/${name}.${type}")
        configure_file("${file}" "${filled}" @ONLY)
        set(file "${filled}")
      endif()
      list(APPEND files "${file}")
      string(APPEND listing "  [==[${name}]==] [==[${type}]==] [==[${file}]==]\n")
    endforeach()
  endforeach()
  string(APPEND listing ")\n")

  # Written through configure_file so that an unchanged list keeps its time stamp and triggers no rebuild.
  set(list_file "${work}/Resources.cmake")
  file(WRITE "${list_file}.new" "${listing}")
  configure_file("${list_file}.new" "${list_file}" COPYONLY)

  set(output "${work}/EmbeddedResources.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DRESOURCE_LIST=${list_file}" "-DOUTPUT=${output}" -P "${ZV_RESOURCE_GENERATOR}"
    DEPENDS "${list_file}" ${files} "${ZV_RESOURCE_GENERATOR}"
    COMMENT "Embedding the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
